// The kinds of lines in the device library. Every line ends in an activity
// flag: only lines whose last character before the line break is 'Y' or 'y'
// count, so comments and switched-off entries are simply lines with another
// last character.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "library/device_descriptor.h"

namespace zivivar {

inline constexpr size_t kNoFlag = std::string_view::npos;

// Position of the activity flag: the last character before the line feed, or
// the last character of a read that holds no line feed (the last line of a
// file without a final line break). kNoFlag for an empty line.
size_t FlagPosition(std::string_view line);

// True when the line's flag is 'Y' or 'y'.
bool IsActiveLine(std::string_view line);

// True when the line begins with a colon, whatever its flag: such a line ends
// the block of devices above it.
bool IsManufacturerLine(std::string_view line);

// The text after the colon up to the first semicolon, or up to the flag when
// no semicolon stands before it.
std::string ManufacturerName(std::string_view line);

// The first field of a device line (its device name) when it is closed by a
// semicolon before the flag.
std::optional<std::string> FirstField(std::string_view line);

// The optional field after a device line's fifteenth holds tokens separated
// by blanks; true when one of them is PAGE (in any case): the chip reads a
// whole page with one instruction. Other tokens are left to other readers.
bool HasPageToken(std::string_view field);
// The first token of that field made of exactly six hex digits, read as the
// three signature bytes (1E5206: 1E 52 06); none when there is no such token.
std::optional<DeviceSignature> SignatureToken(std::string_view field);

}  // namespace zivivar
