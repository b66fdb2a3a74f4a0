#include "library/library_line.h"

#include <algorithm>
#include <cctype>

namespace zivivar {

size_t FlagPosition(std::string_view line) {
  size_t end = line.size();
  if (end > 0 && line[end - 1] == '\n') {
    --end;
  }
  return end == 0 ? kNoFlag : end - 1;
}

bool IsActiveLine(std::string_view line) {
  const size_t flag = FlagPosition(line);
  return flag != kNoFlag && (line[flag] == 'Y' || line[flag] == 'y');
}

bool IsManufacturerLine(std::string_view line) {
  return !line.empty() && line.front() == ':';
}

std::string ManufacturerName(std::string_view line) {
  const size_t flag = FlagPosition(line);
  if (flag == kNoFlag || flag < 1)
    return {};
  const std::string_view text = line.substr(1, flag - 1);
  return std::string(text.substr(0, text.find(';')));
}

std::optional<std::string> FirstField(std::string_view line) {
  const size_t flag = FlagPosition(line);
  if (flag == kNoFlag) {
    return std::nullopt;
  }
  const size_t semicolon = line.substr(0, flag).find(';');
  if (semicolon == std::string_view::npos) {
    return std::nullopt;
  }
  return std::string(line.substr(0, semicolon));
}

namespace {

// The first token of field (separated by blanks) for which take is true.
template <typename Take>
std::optional<std::string_view> FindToken(std::string_view field, Take take) {
  constexpr std::string_view kBlanks = " \t";
  size_t start = field.find_first_not_of(kBlanks);
  while (start != std::string_view::npos) {
    const size_t end = std::min(field.find_first_of(kBlanks, start), field.size());
    const std::string_view token = field.substr(start, end - start);
    if (take(token))
      return token;
    start = field.find_first_not_of(kBlanks, end);
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  const int upper = std::toupper(static_cast<unsigned char>(c));
  return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

}  // namespace

bool HasPageToken(std::string_view field) {
  return FindToken(field,
                   [](std::string_view token) {
                     return std::ranges::equal(token, std::string_view("PAGE"), [](char a, char b) {
                       return std::toupper(static_cast<unsigned char>(a)) == b;
                     });
                   })
      .has_value();
}

std::optional<DeviceSignature> SignatureToken(std::string_view field) {
  const std::optional<std::string_view> token = FindToken(field, [](std::string_view text) {
    return text.size() == 6 && std::ranges::all_of(text, [](char c) { return HexDigit(c) >= 0; });
  });
  if (!token)
    return std::nullopt;
  DeviceSignature signature{};
  for (size_t i = 0; i < signature.size(); ++i)
    signature[i] =
        static_cast<uint8_t>(HexDigit((*token)[2 * i]) << 4 | HexDigit((*token)[2 * i + 1]));
  return signature;
}

}  // namespace zivivar
