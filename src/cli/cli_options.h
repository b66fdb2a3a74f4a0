// The command line of zivivar-cli: global options, then a command with its
// own options and file arguments.
//
//   zivivar-cli [-C DIR] [--simulator] [--sim-state FILE] [-m NAME] [-d NAME]
//               [--set KEY=VALUE]... [-v] [-y] [--on-fault retry|cancel]
//               [--trace FILE] [--fast | --exact] COMMAND [ARGS...]
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zivivar {

enum class CliCommand {
  kNone,  // no command given (only --help makes sense then)
  kDevices,
  kBlank,
  kErase,
  kProgram,
  kVerify,
  kRead,
  kConvert,
  kDetect,
  kCalibrate,
};

struct CliOptions {
  // Global options.
  std::string directory;  // -C: where KORVALNK.INI and VOZ8051.CSV lie; "" the working directory
  bool simulator = false;
  std::optional<std::string> sim_state;  // --sim-state
  std::optional<std::string> manufacturer;
  std::optional<std::string> device;
  std::vector<std::pair<std::string, std::string>> settings;  // --set, in order
  bool yes = false;                                           // -y
  bool verbose = false;                                       // -v
  bool retry_faults = false;                                  // --on-fault retry
  std::optional<std::string> trace_path;
  std::optional<bool> fast_profile;  // --fast / --exact (the last one counts); else FastProfile

  bool help = false;  // --help anywhere: print the help of the command (or the global one)
  CliCommand command = CliCommand::kNone;
  std::vector<std::string> files;  // the command's file arguments

  // Command options.
  bool no_verify = false;          // program --no-verify
  std::optional<int> lock_level;   // program --lock 0..3
  std::optional<int> format;       // read/convert --format: DataFormat 1 to 9
  std::optional<unsigned> writes;  // calibrate --writes
};

// Parses args (without the program name). On success returns true; on a usage
// error returns false with the reason in error (one line, no newline).
bool ParseCommandLine(const std::vector<std::string>& args, CliOptions& options,
                      std::string& error);

// The DataFormat number of a format name (bin, intel8, ... tek); nothing when unknown.
std::optional<int> FormatFromName(const std::string& name);
// The name of DataFormat format 1 to 9.
const char* FormatName(int format);

// The command's name as typed, "" for kNone.
const char* CommandName(CliCommand command);

// Help texts: the global one and one per command.
std::string GlobalHelp();
std::string CommandHelp(CliCommand command);

}  // namespace zivivar
