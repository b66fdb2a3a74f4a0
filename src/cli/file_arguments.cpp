#include "cli/file_arguments.h"

#include <filesystem>
#include <system_error>

#include "ui/data_file_naming.h"

namespace zivivar {

std::string InputPath(const std::string& argument) {
  return argument == kStandardStream ? "/dev/stdin" : argument;
}

std::optional<std::string> EepromFileFor(const std::string& code_file, const CliOptions& options) {
  if (options.no_eeprom)
    return std::nullopt;
  if (options.eeprom)
    return *options.eeprom;
  if (code_file == kStandardStream)
    return std::nullopt;
  return EepromPathFor(code_file);
}

bool PathExists(const std::string& path) {
  if (path == kStandardStream)
    return false;
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  return !error && status.type() != std::filesystem::file_type::not_found;
}

std::optional<std::string> FirstExisting(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (PathExists(path))
      return path;
  }
  return std::nullopt;
}

}  // namespace zivivar
