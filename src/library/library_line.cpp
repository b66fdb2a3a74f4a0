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

bool HasPageToken(std::string_view field) {
  constexpr std::string_view kBlanks = " \t";
  size_t start = field.find_first_not_of(kBlanks);
  while (start != std::string_view::npos) {
    const size_t end = std::min(field.find_first_of(kBlanks, start), field.size());
    const std::string_view token = field.substr(start, end - start);
    if (std::ranges::equal(token, std::string_view("PAGE"), [](char a, char b) {
          return std::toupper(static_cast<unsigned char>(a)) == b;
        }))
      return true;
    start = field.find_first_not_of(kBlanks, end);
  }
  return false;
}

}  // namespace zivivar
