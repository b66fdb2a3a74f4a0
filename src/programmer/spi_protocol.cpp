#include "programmer/spi_protocol.h"

#include <cstdio>

namespace zivivar {
namespace {

// Mode-3 operation codes in bits 0-2 of the first instruction byte.
constexpr uint8_t kMode3ReadCode = 0x01;
constexpr uint8_t kMode3WriteCode = 0x02;
constexpr uint8_t kMode3ReadData = 0x05;
constexpr uint8_t kMode3WriteData = 0x06;

// Mode-4 instruction bytes.
constexpr uint8_t kMode4ReadCode = 0x20;
constexpr uint8_t kMode4WriteCode = 0x40;
constexpr uint8_t kMode4ReadPage = 0x30;
constexpr uint8_t kMode4ReadLockBits = 0x24;
constexpr uint8_t kMode4ReadSignature = 0x28;
constexpr uint8_t kMode4WriteLockLevel = 0xE0;  // + level 0 to 3

constexpr uint8_t kInstructionPrefix = 0xAC;  // programming enable, erase, lock bits
constexpr uint8_t kProgrammingEnable = 0x53;
constexpr uint8_t kMode3ChipErase = 0x04;
constexpr uint8_t kMode4ChipErase = 0x80;

constexpr uint8_t kMode3LockBase = 0xE7;

constexpr uint8_t AddressHigh(uint32_t address) {
  return static_cast<uint8_t>((address >> 8) & 0xFF);
}
constexpr uint8_t AddressLow(uint32_t address) {
  return static_cast<uint8_t>(address & 0xFF);
}

}  // namespace

SpiProtocol::SpiProtocol(PortLink& link, Services& services, const DeviceDescriptor& device)
    : link_(link), services_(services), device_(device) {}

uint8_t SpiProtocol::Mode3FirstByte(uint32_t address, uint8_t code) {
  const uint8_t high = AddressHigh(address);
  uint8_t first = static_cast<uint8_t>((high & 0x1F) << 3);
  if (high & 0x20)
    first |= 0x04;
  return static_cast<uint8_t>(first | code);
}

uint8_t SpiProtocol::Mode3LockByte(const LockOptions& locks) {
  uint8_t lock = kMode3LockBase;
  if (locks.lock1 != 0)
    lock &= 0x7F;
  if (locks.lock2 != 0)
    lock &= 0x3F;
  if (locks.lock3 != 0)
    lock &= 0x1F;
  return lock;
}

void SpiProtocol::WriteLines() {
  link_.WriteRegister(kLinesRegister, link_.RegisterImage(kLinesRegister));
}

// Timing, counted in register writes (one write lasts TimeBaseKorr µs; it is
// the only clock there is):
//
//   send     : MOSI set with SCK low (1), SCK high (2), SCK low (2)  = 5 per bit
//   receive 3: sample (2),                SCK high (2), SCK low (2)  = 6 per bit
//   receive 4:             SCK high (2),  sample (2),   SCK low (2)  = 6 per bit
//
// Every SCK level is written twice so that each phase lasts at least two
// register writes, far above the few oscillator cycles the chip needs. MOSI
// changes only while SCK is low, one write ahead of the rising edge, and
// holds through the high phase; after a byte it keeps the last bit sent.
// Sampling costs two writes because the input byte is read as two nibbles
// (registers 4 and 8), neither of which touches the lines. A mode-3 chip
// moves MISO on every rising edge, so a bit is taken while SCK is low,
// before the edge that replaces it; a mode-4 chip moves it on the falling
// edge and is read while SCK is high.
uint8_t SpiProtocol::ShiftByte(uint8_t out, Shift direction) {
  uint8_t& lines = link_.RegisterImage(kLinesRegister);
  const bool sample_low = !mode4();
  uint8_t in = 0;
  for (int bit = 7; bit >= 0; --bit) {
    const auto mask = static_cast<uint8_t>(1u << bit);
    if (direction == Shift::kSend) {
      lines = static_cast<uint8_t>((out & mask) ? (lines | kReg10Mosi) : (lines & ~kReg10Mosi));
      WriteLines();
    } else if (sample_low && (link_.ReadInputByte() & kReg10Miso)) {
      in |= mask;
    }
    lines |= kReg10Sck;
    WriteLines();
    WriteLines();
    if (direction == Shift::kReceive && !sample_low && (link_.ReadInputByte() & kReg10Miso)) {
      in |= mask;
    }
    lines &= static_cast<uint8_t>(~kReg10Sck);
    WriteLines();
    WriteLines();
  }
  return in;
}

void SpiProtocol::SPIWriteByte(uint8_t value) {
  ShiftByte(value, Shift::kSend);
}

uint8_t SpiProtocol::SPIReadByte() {
  return ShiftByte(0, Shift::kReceive);
}

void SpiProtocol::EnterProgrammingMode() {
  link_.RegisterImage(kLinesRegister) = 0;
  WriteLines();
  link_.WriteRegister(kModeRegister, 0);
  link_.WriteRegister(kZeroRegister2, 0);
  uint8_t& reg0 = link_.RegisterImage(kZeroRegister0);
  reg0 &= 0x0F;
  link_.WriteRegister(kZeroRegister0, reg0);
  reg0 &= 0xF0;
  link_.WriteRegister(kZeroRegister0, reg0);
  uint8_t& reg8 = link_.RegisterImage(kSupplySwitchRegister);
  reg8 &= static_cast<uint8_t>(~kReg8SupplyOn);
  link_.WriteRegister(kSupplySwitchRegister, reg8);

  // The supply word's first byte is still 0 from the idle state: the first
  // load clears the second byte, the second one sets the voltage.
  link_.LoadSupplyWord();
  link_.SetSupplyCode(device_.supply_code);
  link_.LoadSupplyWord();
  link_.DelayMs(100);
  reg8 |= kReg8SupplyOn;
  link_.WriteRegister(kSupplySwitchRegister, reg8);

  uint8_t& lines = link_.RegisterImage(kLinesRegister);
  lines &= static_cast<uint8_t>(~kReg10Sck);
  WriteLines();
  WriteLines();
  lines &= static_cast<uint8_t>(~kReg10Rst);
  WriteLines();
  link_.WriteRegister(kModeRegister, 2);
  lines |= kReg10Rst;
  WriteLines();
  link_.DelayMs(200);
  SPISync();
}

void SpiProtocol::LeaveProgrammingMode() {
  uint8_t& lines = link_.RegisterImage(kLinesRegister);
  lines &= static_cast<uint8_t>(~kReg10Rst);
  WriteLines();
  link_.DelayMs(200);
  link_.WriteRegister(kModeRegister, 0);
  link_.WriteRegister(kModeRegister, 0);
  link_.WriteRegister(kZeroRegister2, 0);
  uint8_t& reg0 = link_.RegisterImage(kZeroRegister0);
  reg0 &= 0x0F;
  link_.WriteRegister(kZeroRegister0, reg0);
  // The lines go low; the image keeps its bits until the next
  // EnterProgrammingMode clears it.
  link_.WriteRegister(kLinesRegister, 0);
  uint8_t& reg4 = link_.RegisterImage(kSupplyShiftRegister);
  reg4 &= static_cast<uint8_t>(~kReg4Timer);
  link_.WriteRegister(kSupplyShiftRegister, reg4);
  link_.LoadSupplyWord();
  link_.SetSupplyCode(0);
  link_.LoadSupplyWord();
  reg0 &= 0xF0;
  link_.WriteRegister(kZeroRegister0, reg0);
  uint8_t& reg8 = link_.RegisterImage(kSupplySwitchRegister);
  reg8 &= static_cast<uint8_t>(~kReg8SupplyOn);
  link_.WriteRegister(kSupplySwitchRegister, reg8);
  link_.DelayMs(300);
  // A lost link skipped everything above; the chip must not stay powered in
  // programming mode if the adapter is in fact still there.
  if (link_.link_lost())
    link_.PowerDownQuietly();
}

void SpiProtocol::SendProgrammingEnable() {
  SPIWriteByte(kInstructionPrefix);
  SPIWriteByte(kProgrammingEnable);
  SPIWriteByte(0x00);
}

void SpiProtocol::SPISync() {
  sync_failed_ = false;
  if (mode4()) {
    SendProgrammingEnable();
    const uint8_t echo = SPIReadByte();
    // After a time-out the echo is noise; the time-out message has said it all.
    if (echo != kProgrammingEnableEcho && !link_.link_lost()) {
      sync_failed_ = true;
      services_.ShowMessage(kSyncFailedMessage);
    }
    return;
  }

  SendProgrammingEnable();
  link_.DelayMs(100);
  // An erased chip reads 0xFF at 0 and 1 whether it is in sync or not, so it
  // gets all three passes with their reset pulses.
  uint8_t& lines = link_.RegisterImage(kLinesRegister);
  for (int pass = 0; pass < 3;) {
    const uint8_t a = SPIReadCodeByte(0);
    const uint8_t b = SPIReadCodeByte(1);
    if (a == 0xFF && b == 0xFF) {
      lines &= static_cast<uint8_t>(~kReg10Rst);
      WriteLines();
      link_.DelayMs(200);
      lines |= kReg10Rst;
      WriteLines();
      link_.DelayMs(200);
      SendProgrammingEnable();
      link_.DelayMs(100);
    }
    ++pass;
    if (b != 0xFF)
      break;
  }
}

uint8_t SpiProtocol::SPIReadCodeByte(uint32_t address) {
  if (mode4()) {
    SPIWriteByte(kMode4ReadCode);
    SPIWriteByte(AddressHigh(address));
  } else {
    SPIWriteByte(Mode3FirstByte(address, kMode3ReadCode));
  }
  SPIWriteByte(AddressLow(address));
  return SPIReadByte();
}

uint8_t SpiProtocol::SPIReadSignatureByte(uint8_t index) {
  SPIWriteByte(kMode4ReadSignature);
  SPIWriteByte(index);
  SPIWriteByte(0x00);
  return SPIReadByte();
}

void SpiProtocol::SPIReadCodePage(uint32_t address, uint8_t (&page)[kCodePageSize]) {
  SPIWriteByte(kMode4ReadPage);
  SPIWriteByte(AddressHigh(address));
  for (uint8_t& byte : page)
    byte = SPIReadByte();
}

uint8_t SpiProtocol::PollMode3(uint32_t address, uint8_t read_code, uint8_t data) {
  uint8_t read = 0;
  uint32_t polls = 0;
  do {
    SPIWriteByte(Mode3FirstByte(address, read_code));
    SPIWriteByte(AddressLow(address));
    read = SPIReadByte();
    if (read != data)
      link_.ClockPulses(1);
    ++polls;
  } while (read != data && polls < device_.write_wait);
  return read;
}

uint8_t SpiProtocol::SPIWriteCodeByte(uint32_t address, uint8_t data) {
  if (mode4()) {
    SPIWriteByte(kMode4WriteCode);
    SPIWriteByte(AddressHigh(address));
    SPIWriteByte(AddressLow(address));
    SPIWriteByte(data);
    link_.ClockPulses(device_.write_wait);
    return SPIReadCodeByte(address);
  }
  SPIWriteByte(Mode3FirstByte(address, kMode3WriteCode));
  SPIWriteByte(AddressLow(address));
  SPIWriteByte(data);
  link_.ClockPulses(1);
  return PollMode3(address, kMode3ReadCode, data);
}

uint8_t SpiProtocol::SPIReadDataByte(uint32_t address) {
  if (mode4()) {
    services_.ShowMessage(kSpi4NoDataReadMessage);
    return 0;
  }
  SPIWriteByte(Mode3FirstByte(address, kMode3ReadData));
  SPIWriteByte(AddressLow(address));
  return SPIReadByte();
}

uint8_t SpiProtocol::SPIWriteDataByte(uint32_t address, uint8_t data) {
  if (mode4()) {
    services_.ShowMessage(kSpi4NoDataWriteMessage);
    return 0;
  }
  SPIWriteByte(Mode3FirstByte(address, kMode3WriteData));
  SPIWriteByte(AddressLow(address));
  SPIWriteByte(data);
  link_.ClockPulses(1);
  return PollMode3(address, kMode3ReadData, data);
}

void SpiProtocol::SPIChipErase() {
  SPIWriteByte(kInstructionPrefix);
  if (mode4()) {
    SPIWriteByte(kMode4ChipErase);
    SPIWriteByte(0x00);
    SPIWriteByte(0x00);
  } else {
    SPIWriteByte(kMode3ChipErase);
    SPIWriteByte(0x00);
  }
  link_.ClockPulses(device_.erase_wait);
}

void SpiProtocol::SPIWriteLockBits(const LockOptions& locks) {
  if (!mode4()) {
    SPIWriteByte(kInstructionPrefix);
    SPIWriteByte(Mode3LockByte(locks));
    SPIWriteByte(0x00);
    link_.ClockPulses(device_.write_wait);
    return;
  }

  // Each level builds on the one before: a chosen level above a gap is not
  // reachable and is not written.
  static constexpr uint8_t kExpected[4] = {0x00, 0x04, 0x0C, 0x1C};
  const bool chosen[4] = {true, locks.lock1 != 0, locks.lock2 != 0, locks.lock3 != 0};
  uint8_t expected = 0;
  for (int level = 0; level < 4 && chosen[level]; ++level) {
    SPIWriteByte(kInstructionPrefix);
    SPIWriteByte(static_cast<uint8_t>(kMode4WriteLockLevel + level));
    SPIWriteByte(0x00);
    SPIWriteByte(0x00);
    link_.ClockPulses(device_.write_wait);
    expected = kExpected[level];
  }
  SPIWriteByte(kMode4ReadLockBits);
  SPIWriteByte(0x00);
  SPIWriteByte(0x00);
  const auto read = static_cast<uint8_t>(SPIReadByte() & kLockBitMask);
  if (read != expected && !link_.link_lost()) {
    char text[96];
    std::snprintf(text, sizeof text, services_.Translate(kLockBitsNotProgrammedFormat), read);
    services_.ShowMessage(text);
  }
}

}  // namespace zivivar
