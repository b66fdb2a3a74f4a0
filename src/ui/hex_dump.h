// The lines of the hex view: an address column, 16 bytes in hex and the same
// bytes as ASCII, one line per 16 addresses.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zivivar {

inline constexpr uint32_t kHexDumpBytesPerLine = 16;

// The address range [first, end) that the last load or read-out filled.
struct HexDumpRange {
  uint32_t first = 0;
  uint32_t end = 0;
  bool empty() const { return end <= first; }
  bool Contains(uint32_t address) const { return address >= first && address < end; }
};

// Hex digits of the address column for a dump of size bytes: 4 up to 64 KiB, else 5.
int HexDumpAddressDigits(uint32_t size);

// The line for the 16 bytes from address (a multiple of 16) of memory; bytes
// past memory's end are left blank. Example, with digits 4:
// "0010  02 00 06 FF FF FF FF FF FF FF FF FF FF FF FF FF  ................"
// A character outside 0x20..0x7E shows as '.'.
std::string HexDumpLine(std::span<const uint8_t> memory, uint32_t address, int digits);

// The marker text of the loaded range for the view's header, e.g.
// "Geladen: 0x0000 bis 0x0094 (149 Bytes)", or "Nichts geladen".
std::string HexDumpRangeText(const HexDumpRange& range, int digits);

}  // namespace zivivar
