#include "library/library_line.h"

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

}  // namespace zivivar
