// Numbers written as C integer literals, as the device library and the
// preferences dialog take them.
#pragma once

#include <cstdint>
#include <string_view>

namespace zivivar {

// Reads an unsigned 32-bit number the way strtoul with base 0 does on a
// 32-bit C library: leading white space is skipped, an optional sign follows,
// "0x"/"0X" introduces hexadecimal digits, a leading "0" octal, anything else
// decimal. Reading stops at the first character that does not fit; text
// without digits gives 0 (so "08192" is 0 and "0x" is 0). A leading minus
// negates the value modulo 2^32. A value too large for 32 bits gives
// 0xFFFFFFFF, whatever its sign.
uint32_t ParseCLiteral(std::string_view text);

}  // namespace zivivar
