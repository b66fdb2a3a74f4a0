// Drives a simulated chip's pins directly, one tick per call as the adapter
// would, with the bit timing of the system's own serial routines: a bit sent
// is MOSI set (1 tick), SCK high (2 ticks), SCK low (2 ticks); a bit read
// costs 2 more ticks for the input byte, taken at the chosen point. The
// instructions are built here from the bytes up, so that the chip's decoding
// is checked rather than restated.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "sim/at89s_target.h"

namespace zivivar::testing {

enum class Sample {
  kBeforeRise,  // SCK low, before the rising edge (the mode-3 rule)
  kWhileHigh,   // after the rising edge (the mode-4 rule)
  kAfterFall,   // after the falling edge: wrong for both
};

class IspPins {
 public:
  explicit IspPins(sim::At89sTarget& chip) : chip_(chip) {}

  void Tick(uint32_t count = 1) {
    for (uint32_t i = 0; i < count; ++i)
      chip_.OnRegisterWrite(lines_);
  }
  void Supply(bool on, uint8_t code = 100) {
    lines_.powered = on;
    lines_.supply_code = on ? code : 0;
    Tick();
  }
  void Rst(bool asserted) {
    lines_.rst = asserted;
    Tick();
  }
  // Supply on, RST asserted and held for settle ticks.
  void PowerUp(uint32_t settle) {
    Supply(true);
    Rst(true);
    Tick(settle);
  }
  void StartEnabled() {
    PowerUp(chip_.timing().reset_ticks);
    Enable();
  }

  void Send(std::initializer_list<uint8_t> bytes, bool lsb_first = false) {
    for (const uint8_t byte : bytes) {
      for (int i = 0; i < 8; ++i) {
        lines_.mosi = ((byte >> (lsb_first ? i : 7 - i)) & 1) != 0;
        Tick();
        Clock(true);
        Clock(false);
      }
    }
  }
  uint8_t Receive(Sample sample) {
    uint8_t byte = 0;
    for (int bit = 7; bit >= 0; --bit) {
      bool miso = sample == Sample::kBeforeRise && Miso();
      Clock(true);
      miso = miso || (sample == Sample::kWhileHigh && Miso());
      Clock(false);
      miso = miso || (sample == Sample::kAfterFall && Miso());
      if (miso)
        byte = static_cast<uint8_t>(byte | 1 << bit);
    }
    return byte;
  }

  // Instructions; the mode-4 enable answer (0 in mode 3).
  uint8_t Enable(bool lsb_first = false) {
    Send({0xAC, 0x53, 0x00}, lsb_first);
    return mode4() ? Receive(Sample::kWhileHigh) : 0;
  }
  uint8_t ReadCode(uint32_t address) { return ReadCode(address, Right()); }
  uint8_t ReadCode(uint32_t address, Sample sample) {
    if (mode4())
      Send({0x20, High(address), Low(address)});
    else
      Send({First(address, 0x01), Low(address)});
    return Receive(sample);
  }
  void WriteCode(uint32_t address, uint8_t data) {
    if (mode4())
      Send({0x40, High(address), Low(address), data});
    else
      Send({First(address, 0x02), Low(address), data});
  }
  uint8_t ReadData(uint32_t address) {
    Send({First(address, 0x05), Low(address)});
    return Receive(Sample::kBeforeRise);
  }
  void WriteData(uint32_t address, uint8_t data) {
    Send({First(address, 0x06), Low(address), data});
  }
  void Erase() { mode4() ? Send({0xAC, 0x80, 0x00, 0x00}) : Send({0xAC, 0x04, 0x00}); }
  void LockLevel(int n) { Send({0xAC, static_cast<uint8_t>(0xE0 + n), 0x00, 0x00}); }
  void LockByte(uint8_t lock) { Send({0xAC, lock, 0x00}); }
  uint8_t ReadLock() {
    Send({0x24, 0x00, 0x00});
    return Receive(Sample::kWhileHigh);
  }
  // n timer-bit pulses of a device wait: two ticks each.
  void Pulses(uint32_t n) { Tick(2 * n); }
  // A mode-3 write and its read-back polling as the system does it: the
  // number of polls made and the last byte read.
  std::pair<int, uint8_t> WritePolled(uint32_t address, uint8_t data, int max_polls,
                                      bool eeprom = false) {
    eeprom ? WriteData(address, data) : WriteCode(address, data);
    for (int poll = 1;; ++poll) {
      Pulses(1);
      const uint8_t read = eeprom ? ReadData(address) : ReadCode(address);
      if (read == data || poll >= max_polls)
        return {poll, read};
    }
  }

  sim::TargetLines& lines() { return lines_; }

 private:
  bool mode4() const { return chip_.kind().spi_mode == 4; }
  Sample Right() const { return mode4() ? Sample::kWhileHigh : Sample::kBeforeRise; }
  void Clock(bool high) {
    lines_.sck = high;
    Tick(2);
  }
  // The input byte: two register writes with unchanged lines, then MISO.
  bool Miso() {
    Tick(2);
    return chip_.Miso();
  }
  static uint8_t High(uint32_t address) { return static_cast<uint8_t>(address >> 8); }
  static uint8_t Low(uint32_t address) { return static_cast<uint8_t>(address); }
  static uint8_t First(uint32_t address, uint8_t code) {
    const uint8_t h = High(address);
    return static_cast<uint8_t>((h & 0x1F) << 3 | (h & 0x20 ? 0x04 : 0) | code);
  }

  sim::At89sTarget& chip_;
  sim::TargetLines lines_;
};

}  // namespace zivivar::testing
