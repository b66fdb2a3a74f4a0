#include "ui/operation_log.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace zivivar {
namespace {

std::string Field(const std::string& text) {
  if (text.empty())
    return "-";
  std::string field = text;
  for (char& c : field) {
    if (c == '\t' || c == '\n' || c == '\r')
      c = ' ';
  }
  return field;
}

// mkdir -p, for the directories of an absolute path.
bool MakeDirectories(const std::string& directory) {
  for (size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
    const std::string part = directory.substr(0, slash);
    if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
      return false;
    if (slash == std::string::npos)
      return true;
  }
}

}  // namespace

std::string OperationLogPath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/')
    return std::string(state) + "/zivivar/zivivar.log";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/')
    return std::string(home) + "/.local/state/zivivar/zivivar.log";
  return {};
}

std::string OperationResultText(CommandResult result) {
  if (result == CommandResult::kOk)
    return "OK";
  if (result == CommandResult::kDemoMode)
    return "Demomodus";
  return "Fehler " + std::to_string(ResultNumber(result));
}

std::string OperationLogLine(std::time_t when, const std::string& device,
                             const std::string& command, const std::string& file,
                             CommandResult result) {
  std::tm local{};
  localtime_r(&when, &local);
  char time_text[32];
  std::strftime(time_text, sizeof time_text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(time_text) + '\t' + Field(device) + '\t' + Field(command) + '\t' +
         Field(file) + '\t' + OperationResultText(result);
}

bool AppendOperationLogLine(const std::string& path, const std::string& line) {
  const size_t slash = path.rfind('/');
  if (path.empty() ||
      (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash)))) {
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (file == nullptr)
    return false;
  const bool written = std::fputs((line + '\n').c_str(), file) >= 0;
  return std::fclose(file) == 0 && written;
}

}  // namespace zivivar
