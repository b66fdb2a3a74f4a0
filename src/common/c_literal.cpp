#include "common/c_literal.h"

namespace zivivar {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z')
    return c - 'A' + 10;
  return 99;
}

}  // namespace

uint32_t ParseCLiteral(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && IsSpace(text[pos]))
    ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  uint32_t base = 10;
  if (pos < text.size() && text[pos] == '0') {
    base = 8;
    // "0x" counts as a prefix only when a hexadecimal digit follows; "0x"
    // alone reads as the number 0 followed by other text.
    if (pos + 2 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
        DigitValue(text[pos + 2]) < 16) {
      base = 16;
      pos += 2;
    }
  }
  uint64_t value = 0;
  bool overflow = false;
  for (; pos < text.size(); ++pos) {
    const int digit = DigitValue(text[pos]);
    if (digit >= static_cast<int>(base))
      break;
    value = value * base + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFu) {
      overflow = true;
      value = 0xFFFFFFFFu;
    }
  }
  if (overflow)
    return 0xFFFFFFFFu;
  const auto result = static_cast<uint32_t>(value);
  return negative ? static_cast<uint32_t>(0u - result) : result;
}

}  // namespace zivivar
