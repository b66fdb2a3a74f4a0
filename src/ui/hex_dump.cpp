#include "ui/hex_dump.h"

#include <cstdio>

namespace zivivar {

int HexDumpAddressDigits(uint32_t size) {
  return size > 0x10000 ? 5 : 4;
}

std::string HexDumpLine(std::span<const uint8_t> memory, uint32_t address, int digits) {
  char field[16];
  std::snprintf(field, sizeof field, "%0*X ", digits, address);
  std::string line = field;
  std::string ascii;
  for (uint32_t i = 0; i < kHexDumpBytesPerLine; ++i) {
    const uint64_t at = uint64_t{address} + i;
    if (at < memory.size()) {
      const uint8_t byte = memory[at];
      std::snprintf(field, sizeof field, " %02X", byte);
      line += field;
      ascii += byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : '.';
    } else {
      line += "   ";
    }
  }
  return line + "  " + ascii;
}

std::string HexDumpRangeText(const HexDumpRange& range, int digits) {
  if (range.empty())
    return "Nichts geladen";
  char text[96];
  std::snprintf(text, sizeof text, "Geladen: 0x%0*X bis 0x%0*X (%u Bytes)", digits, range.first,
                digits, range.end - 1, range.end - range.first);
  return text;
}

}  // namespace zivivar
