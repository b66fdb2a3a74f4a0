// The one memory image through which all device data passes: the code memory
// or the EEPROM, one after the other, indexed by device address from 0.
#pragma once

#include <array>
#include <cstdint>

namespace zivivar {

inline constexpr uint32_t kImageBufferSize = 0x20000;
inline constexpr uint8_t kBlankByte = 0xFF;

// Which device memory an operation works on.
enum MemoryKind : int { kCodeMemory = 0, kEepromMemory = 1 };

struct ImageBuffer {
  std::array<uint8_t, kImageBufferSize> bytes;
  // Data bytes the last load took from its file, duplicates and bytes beyond
  // the buffer included.
  uint32_t loaded_byte_count = 0;
  // Highest address of any data byte of the last load (0 when none).
  uint32_t highest_loaded_address = 0;

  ImageBuffer() { Clear(); }
  // Every cell blank, counters 0: done before every load and every read-out.
  void Clear() {
    bytes.fill(kBlankByte);
    loaded_byte_count = 0;
    highest_loaded_address = 0;
  }
};

}  // namespace zivivar
