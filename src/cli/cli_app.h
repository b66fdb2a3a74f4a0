// zivivar-cli's main logic, with its streams and surroundings passed in so
// that it runs in-process in the tests. It builds the run's objects as the
// window does, runs the same command flows against a terminal view, and
// returns the exit status: 0, kExitUsage, or the result of the first
// operation that failed.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "hw/port_access_system.h"
#include "services/message_language.h"

namespace zivivar {

struct CliEnvironment {
  std::ostream* out = nullptr;  // results of devices, detect, calibrate, read
  std::ostream* err = nullptr;  // the system's messages, usage errors, progress
  // Whether err is a terminal (then the progress bar is drawn) and its width.
  bool err_is_terminal = false;
  int terminal_width = 80;
  // Polled at every event pump: true once the user asked to stop (Ctrl-C).
  std::function<bool()> interrupt_requested;
  // Where the instance and busy locks live; unset: the user's default.
  std::optional<std::string> lock_directory;
  // The operating system's port access; null: the Linux one.
  PortAccessSystem* port_access_system = nullptr;
  // The language of the texts; unset: as LANGUAGE, LC_ALL, LC_MESSAGES and
  // LANG of the process choose.
  std::optional<MessageLanguage> language;
};

// args without the program name.
int RunCli(const std::vector<std::string>& args, const CliEnvironment& environment);

}  // namespace zivivar
