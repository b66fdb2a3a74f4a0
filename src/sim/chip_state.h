// What a simulated chip keeps when its supply is off: the kind of chip, its
// code memory, its data EEPROM and its lock bits. Plain data; the protocol
// model (At89sTarget) and the state file work on it.
#pragma once

#include <cstdint>
#include <vector>

namespace zivivar::sim {

// Largest memory the system handles, code or EEPROM.
inline constexpr uint32_t kMaxChipMemory = 0x20000;

// Lock bits as kept in ChipState::lock_bits; a set bit is programmed.
inline constexpr uint8_t kLockBit1 = 0x01;  // no further programming of the code memory
inline constexpr uint8_t kLockBit2 = 0x02;  // also no read-back (verify) of the code memory
inline constexpr uint8_t kLockBit3 = 0x04;  // also no external execution
inline constexpr uint8_t kLockBitsMask = 0x07;

struct ChipKind {
  // 4: four-byte instructions, lock bits readable, no EEPROM instructions
  // (the AT89S51/52 family). 3: three-byte instructions with the high
  // address bits in the first byte, data EEPROM (the AT89S8252 family).
  uint8_t spi_mode = 4;
  uint32_t code_size = 0x2000;  // 1 to kMaxChipMemory bytes
  uint32_t eeprom_size = 0;     // 0 (none) to kMaxChipMemory bytes
  bool operator==(const ChipKind&) const = default;
};

// True for spi_mode 3 or 4 and sizes within the limits above.
bool IsValidChipKind(const ChipKind& kind);

struct ChipState {
  ChipKind kind;
  std::vector<uint8_t> code;    // kind.code_size bytes
  std::vector<uint8_t> eeprom;  // kind.eeprom_size bytes
  uint8_t lock_bits = 0;        // kLockBit1..3
  bool operator==(const ChipState&) const = default;
};

// A chip as it leaves the factory: every byte 0xFF, no lock bit programmed.
ChipState ErasedChip(const ChipKind& kind);

}  // namespace zivivar::sim
