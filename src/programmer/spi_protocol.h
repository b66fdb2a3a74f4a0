// The serial in-system programming protocol of the AT89S family, clocked bit
// by bit on the adapter's register-10 lines (RST, SCK, MOSI; MISO comes back
// in the input byte). Two instruction formats exist, chosen per device by its
// SPIMODE: mode 3 (three-byte instructions, high address bits folded into the
// first byte, write followed by read-back polling, data EEPROM) and mode 4
// (four-byte instructions, fixed wait after a write, lock bits readable).
//
// Every routine changes register images through PortLink and ignores the
// results of single register writes: a lost link is noticed by the device
// operations between bytes (PortLink::link_lost()).
#pragma once

#include <cstdint>

#include "library/device_descriptor.h"
#include "programmer/port_link.h"
#include "services/services.h"

namespace zivivar {

inline constexpr uint8_t kSpiMode3 = 3;
inline constexpr uint8_t kSpiMode4 = 4;

// The answer of a mode-4 device to the programming-enable instruction.
inline constexpr uint8_t kProgrammingEnableEcho = 0x69;
// Bytes of the code memory that one page-mode read (30 H) returns.
inline constexpr uint32_t kCodePageSize = 256;
// Lock bits in the answer to the mode-4 read-lock-bits instruction.
inline constexpr uint8_t kLockBitMask = 0x1C;

inline constexpr char kSyncFailedMessage[] =
    "SPISync fehlgeschlagen !\n\nAdapter im Sockel 1 ?\n\nISP Stecker vergessen ?";
inline constexpr char kSpi4NoDataReadMessage[] = "SPI4 nicht aktiv in SPIReadDataByte()";
inline constexpr char kSpi4NoDataWriteMessage[] = "SPI4 nicht aktiv in SPIWriteDataByte()";
// printf format; the lock bits read back, masked with kLockBitMask.
inline constexpr char kLockBitsNotProgrammedFormat[] =
    "Lockbits sind nicht programmiert worden\nGelesener Wert: 0x%02X";

// The lock options chosen in the window (settings Lock1 to Lock3), each 0 or 1.
struct LockOptions {
  int lock1 = 0;
  int lock2 = 0;
  int lock3 = 0;
};

class SpiProtocol {
 public:
  // link, services and device must outlive the protocol. The device is read
  // at every call, so a reloaded descriptor takes effect at once. A device
  // whose SPIMODE is 4 uses the four-byte format, any other the three-byte one.
  SpiProtocol(PortLink& link, Services& services, const DeviceDescriptor& device);

  // From the idle adapter: supply set and switched on, reset asserted, SPISync.
  void EnterProgrammingMode();
  // Reset released, every line low, supply word cleared, supply off. After a
  // lost link, one quiet attempt at the same (PortLink::PowerDownQuietly).
  void LeaveProgrammingMode();
  // True when the last mode-4 SPISync got no echo (its message was shown):
  // whatever the chip answers afterwards cannot be trusted.
  bool sync_failed() const { return sync_failed_; }

  // One byte on MOSI, most significant bit first (40 register writes).
  void SPIWriteByte(uint8_t value);
  // One byte from MISO, most significant bit first (48 register writes).
  uint8_t SPIReadByte();

  uint8_t SPIReadCodeByte(uint32_t address);
  // Mode 4 with page mode only: 30 H, then the 256 bytes of the page that
  // holds address, each read as SPIReadByte reads. The whole page is always
  // clocked out, since the chip leaves the instruction only after its last
  // byte (or a reset).
  void SPIReadCodePage(uint32_t address, uint8_t (&page)[kCodePageSize]);
  // Writes and returns the byte read back afterwards (mode 3: after polling
  // up to the write wait; mode 4: after the write-wait pulses).
  uint8_t SPIWriteCodeByte(uint32_t address, uint8_t data);
  // Mode 4 has no data EEPROM access: both show their message and return 0
  // without sending anything.
  uint8_t SPIReadDataByte(uint32_t address);
  uint8_t SPIWriteDataByte(uint32_t address, uint8_t data);
  // Chip erase followed by the erase-wait pulses.
  void SPIChipErase();
  // Mode 4: the lock levels in order up to the first option not chosen, then
  // a read-back with a message on mismatch. Mode 3: one lock byte, options
  // independent, nothing read back.
  void SPIWriteLockBits(const LockOptions& locks);

 private:
  enum class Shift { kSend, kReceive };

  // Mode 4: programming enable, the sync message when the echo is missing.
  // Mode 3: programming enable and up to three read passes, reset pulses
  // while the first two code bytes read 0xFF. No message in mode 3.
  void SPISync();
  // Mode 3 first instruction byte: address bits 8-12 into bits 3-7, address
  // bit 13 into bit 2, the operation code in bits 0-2.
  static uint8_t Mode3FirstByte(uint32_t address, uint8_t code);
  // The mode-3 lock byte for the options chosen.
  static uint8_t Mode3LockByte(const LockOptions& locks);

  bool mode4() const { return device_.spi_mode == kSpiMode4; }
  // The one bit loop behind SPIWriteByte and SPIReadByte.
  uint8_t ShiftByte(uint8_t out, Shift direction);
  // Writes register 10 with its image.
  void WriteLines();
  // Mode 3 read-back after a write: reads with read_code until the byte
  // equals data or write_wait polls were made (at least one).
  uint8_t PollMode3(uint32_t address, uint8_t read_code, uint8_t data);
  void SendProgrammingEnable();

  PortLink& link_;
  Services& services_;
  const DeviceDescriptor& device_;
  bool sync_failed_ = false;
};

}  // namespace zivivar
