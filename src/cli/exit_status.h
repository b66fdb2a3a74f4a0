// zivivar-cli's exit statuses: one table from the commands' results, which
// the help text and the README list.
#pragma once

#include <string>

#include "cli/cli_language.h"
#include "commands/command_result.h"

namespace zivivar {

inline constexpr int kExitOk = 0;
// A command line that cannot be run as written.
inline constexpr int kExitUsage = 2;

int ExitStatus(CommandResult result);

// The table as the help text shows it, one "  N  meaning" line per status,
// the meanings in the language of _.
std::string ExitStatusHelp(const CliText& _ = UntranslatedText());

}  // namespace zivivar
