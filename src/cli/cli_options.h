// The command line of zivivar-cli: global options, then a command with its
// own options and file arguments.
//
//   zivivar-cli [OPTIONS] COMMAND [COMMAND OPTIONS] [FILES]
//
// Global options may stand before or after the command.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_language.h"

namespace zivivar {

enum class CliCommand {
  kNone,  // no command given (only --help makes sense then)
  kDevices,
  kIdentify,  // read the chip's signature and name the library's matching devices
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
  // -C/--config-dir: where KORVALNK.INI and VOZ8051.CSV lie; unset: looked for
  // in the working directory, the user's configuration and the installed data.
  std::optional<std::string> config_dir;
  bool simulator = false;
  std::optional<std::string> sim_state;     // --sim-state
  std::optional<std::string> manufacturer;  // -m/--manufacturer
  std::optional<std::string> device;        // -d/--device; "auto": chosen by the chip's signature
  std::vector<std::pair<std::string, std::string>> settings;  // --set, in order
  bool yes = false;                                           // -y
  bool verbose = false;                                       // -v/--verbose: the steps, and more
  bool quiet = false;                                         // -q/--quiet: errors only
  bool retry_faults = false;                                  // --on-fault retry
  std::optional<std::string> trace_path;
  std::optional<bool> fast_profile;  // --fast / --exact (the last one counts); else FastProfile
  bool wait = false;                 // --wait: wait for another run on the same adapter
  bool no_signature = false;         // --no-signature: no signature check before erase/program

  bool help =
      false;  // --help anywhere, or "help [COMMAND]": the command's help (or the global one)
  bool version = false;  // --version
  CliCommand command = CliCommand::kNone;
  std::vector<std::string> files;  // the command's file arguments

  // Command options.
  bool no_verify = false;          // program --no-verify
  std::optional<int> lock_level;   // program --lock 0..3
  std::optional<int> format;       // read/convert --format: DataFormat 1 to 9
  std::optional<unsigned> writes;  // calibrate --writes
  // program, verify and read: --eeprom FILE (the EEPROM's file) or --no-eeprom.
  std::optional<std::string> eeprom;
  bool no_eeprom = false;
  bool no_clobber = false;  // read and convert: never replace an existing file
};

// Parses args (without the program name). On success returns true; on a usage
// error returns false with the reason in error (one line, no newline), in the
// language of _. CLI11's own messages (a missing option value, a value given
// to a flag) stay English.
bool ParseCommandLine(const std::vector<std::string>& args, CliOptions& options, std::string& error,
                      const CliText& _ = UntranslatedText());

// The DataFormat number of a format name (bin, intel8, ... tek); nothing when unknown.
std::optional<int> FormatFromName(const std::string& name);
// The name of DataFormat format 1 to 9.
const char* FormatName(int format);

// The command's name as typed, "" for kNone.
const char* CommandName(CliCommand command);

// Help texts, in the language of _: the global one and one per command.
std::string GlobalHelp(const CliText& _ = UntranslatedText());
std::string CommandHelp(CliCommand command, const CliText& _ = UntranslatedText());

}  // namespace zivivar
