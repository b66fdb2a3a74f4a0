// What zivivar-cli's file arguments name. "-" is the standard input for a
// file that is read and the standard output for one that is written; the
// EEPROM's file is --eeprom FILE, else the code file's companion (its name
// with the extension ".eep"), never one for a standard stream.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace zivivar {

inline constexpr char kStandardStream[] = "-";

// The path to open for a file that is read: "-" becomes /dev/stdin, which
// the data files read whole like any pipe.
std::string InputPath(const std::string& argument);

// The EEPROM's file for code_file: none with --no-eeprom, --eeprom FILE when
// given, else the companion of code_file (none for "-").
std::optional<std::string> EepromFileFor(const std::string& code_file, const CliOptions& options);

// The first of paths that exists (a dangling link counts); "-" never does.
std::optional<std::string> FirstExisting(const std::vector<std::string>& paths);

// True when path exists (as FirstExisting sees it).
bool PathExists(const std::string& path);

}  // namespace zivivar
