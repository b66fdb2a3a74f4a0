#include "cli/cli_options.h"

#include "cli/exit_status.h"

#include <array>
#include <cstdlib>

namespace zivivar {
namespace {

struct CommandInfo {
  CliCommand command;
  const char* name;
  size_t files;  // file arguments the command takes
};

constexpr std::array<CommandInfo, 9> kCommands = {{
    {CliCommand::kDevices, "devices", 0},
    {CliCommand::kBlank, "blank", 0},
    {CliCommand::kErase, "erase", 0},
    {CliCommand::kProgram, "program", 1},
    {CliCommand::kVerify, "verify", 1},
    {CliCommand::kRead, "read", 1},
    {CliCommand::kConvert, "convert", 2},
    {CliCommand::kDetect, "detect", 0},
    {CliCommand::kCalibrate, "calibrate", 0},
}};

// Indexed by DataFormat; 0 has no name.
constexpr std::array<const char*, 10> kFormatNames = {"",   "bin", "intel8", "intel32", "intelmcs",
                                                      "s1", "s2",  "s3",     "mos",     "tek"};

const CommandInfo* FindCommand(const std::string& name) {
  for (const CommandInfo& info : kCommands) {
    if (name == info.name)
      return &info;
  }
  return nullptr;
}

const CommandInfo& InfoOf(CliCommand command) {
  for (const CommandInfo& info : kCommands) {
    if (info.command == command)
      return info;
  }
  return kCommands[0];
}

// A whole decimal number within [low, high].
bool ParseNumber(const std::string& text, unsigned long low, unsigned long high,
                 unsigned long& value) {
  if (text.empty() || text.size() > 10)
    return false;
  for (const char c : text) {
    if (c < '0' || c > '9')
      return false;
  }
  value = std::strtoul(text.c_str(), nullptr, 10);
  return value >= low && value <= high;
}

// Walks the arguments; an option's value may follow as the next argument or,
// for long options, after '='. Short options also take "-CDIR".
class ArgCursor {
 public:
  explicit ArgCursor(const std::vector<std::string>& args) : args_(args) {}

  bool done() const { return index_ >= args_.size(); }
  const std::string& current() const { return args_[index_]; }
  void Next() { ++index_; }

  // True when the current argument is the option name (short or long form);
  // then value holds its value, or error says that it is missing.
  bool Take(const char* name, std::string& value, std::string& error) {
    const std::string& arg = args_[index_];
    const std::string option = name;
    if (arg == option) {
      if (index_ + 1 >= args_.size()) {
        error = "option " + option + " needs a value";
        return true;
      }
      value = args_[++index_];
      return true;
    }
    const bool is_long = option.size() > 2;
    if (is_long && arg.size() > option.size() + 1 && arg.compare(0, option.size(), option) == 0 &&
        arg[option.size()] == '=') {
      value = arg.substr(option.size() + 1);
      return true;
    }
    if (!is_long && arg.size() > 2 && arg.compare(0, 2, option) == 0) {
      value = arg.substr(2);
      return true;
    }
    return false;
  }

 private:
  const std::vector<std::string>& args_;
  size_t index_ = 0;
};

bool ParseGlobalOption(ArgCursor& cursor, CliOptions& options, std::string& error) {
  const std::string& arg = cursor.current();
  std::string value;
  if (arg == "--help" || arg == "-h") {
    options.help = true;
  } else if (arg == "--simulator") {
    options.simulator = true;
  } else if (arg == "-v" || arg == "--verbose") {
    options.verbose = true;
  } else if (arg == "--fast" || arg == "--exact") {
    options.fast_profile = arg == "--fast";
  } else if (arg == "-y" || arg == "--yes") {
    options.yes = true;
  } else if (cursor.Take("-C", value, error)) {
    options.config_dir = value;
  } else if (cursor.Take("--sim-state", value, error)) {
    options.sim_state = value;
  } else if (cursor.Take("-m", value, error)) {
    options.manufacturer = value;
  } else if (cursor.Take("-d", value, error)) {
    options.device = value;
  } else if (cursor.Take("--set", value, error)) {
    const size_t equals = value.find('=');
    if (error.empty() && (equals == std::string::npos || equals == 0)) {
      error = "--set needs KEY=VALUE, got '" + value + "'";
    } else if (error.empty()) {
      options.settings.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    }
  } else if (cursor.Take("--on-fault", value, error)) {
    if (error.empty()) {
      if (value == "retry") {
        options.retry_faults = true;
      } else if (value == "cancel") {
        options.retry_faults = false;
      } else {
        error = "--on-fault takes retry or cancel, not '" + value + "'";
      }
    }
  } else if (cursor.Take("--trace", value, error)) {
    options.trace_path = value;
  } else {
    error = "unknown option '" + arg + "'";
  }
  return error.empty();
}

bool ParseCommandOption(ArgCursor& cursor, CliOptions& options, std::string& error) {
  const std::string& arg = cursor.current();
  const CliCommand command = options.command;
  std::string value;
  unsigned long number = 0;
  if (arg == "--help" || arg == "-h") {
    options.help = true;
  } else if (command == CliCommand::kProgram && arg == "--no-verify") {
    options.no_verify = true;
  } else if (command == CliCommand::kProgram && cursor.Take("--lock", value, error)) {
    if (error.empty() && !ParseNumber(value, 0, 3, number))
      error = "--lock takes 0, 1, 2 or 3, not '" + value + "'";
    options.lock_level = static_cast<int>(number);
  } else if ((command == CliCommand::kRead || command == CliCommand::kConvert) &&
             cursor.Take("--format", value, error)) {
    options.format = FormatFromName(value);
    if (error.empty() && !options.format) {
      error =
          "unknown format '" + value + "' (bin, intel8, intel32, intelmcs, s1, s2, s3, mos or tek)";
    }
  } else if (command == CliCommand::kCalibrate && cursor.Take("--writes", value, error)) {
    if (error.empty() && !ParseNumber(value, 1, 100000000, number))
      error = "--writes takes a number from 1 to 100000000, not '" + value + "'";
    options.writes = static_cast<unsigned>(number);
  } else {
    error = std::string("unknown option '") + arg + "' for " + CommandName(command);
  }
  return error.empty();
}

}  // namespace

std::optional<int> FormatFromName(const std::string& name) {
  for (size_t i = 1; i < kFormatNames.size(); ++i) {
    if (name == kFormatNames[i])
      return static_cast<int>(i);
  }
  return std::nullopt;
}

const char* FormatName(int format) {
  if (format < 1 || format >= static_cast<int>(kFormatNames.size()))
    return "";
  return kFormatNames[static_cast<size_t>(format)];
}

const char* CommandName(CliCommand command) {
  return command == CliCommand::kNone ? "" : InfoOf(command).name;
}

bool ParseCommandLine(const std::vector<std::string>& args, CliOptions& options,
                      std::string& error) {
  options = CliOptions();
  error.clear();
  ArgCursor cursor(args);

  // Global options, up to the command.
  for (; !cursor.done(); cursor.Next()) {
    const std::string& arg = cursor.current();
    if (arg.size() < 2 || arg[0] != '-')
      break;
    if (!ParseGlobalOption(cursor, options, error))
      return false;
  }
  if (cursor.done()) {
    if (!options.help) {
      error = "no command given";
      return false;
    }
    return true;
  }

  const CommandInfo* info = FindCommand(cursor.current());
  if (info == nullptr) {
    error = "unknown command '" + cursor.current() + "'";
    return false;
  }
  options.command = info->command;
  cursor.Next();

  // The command's options and files, in any order; "--" ends the options.
  bool options_ended = false;
  for (; !cursor.done(); cursor.Next()) {
    const std::string& arg = cursor.current();
    if (!options_ended && arg == "--") {
      options_ended = true;
    } else if (!options_ended && arg.size() >= 2 && arg[0] == '-') {
      if (!ParseCommandOption(cursor, options, error))
        return false;
    } else {
      options.files.push_back(arg);
    }
  }
  if (options.help)
    return true;
  if (options.files.size() != info->files) {
    if (info->files == 0) {
      error = std::string(info->name) + " takes no file argument";
    } else if (info->files == 1) {
      error = std::string(info->name) + " takes one file argument";
    } else {
      error = std::string(info->name) + " takes two file arguments, IN and OUT";
    }
    return false;
  }
  return true;
}

std::string GlobalHelp() {
  return "Usage: zivivar-cli [OPTIONS] COMMAND [ARGS]\n"
         "Programs AT89S flash microcontrollers through the adapter on the parallel port,\n"
         "with the settings (KORVALNK.INI) and the device library (VOZ8051.CSV) of the\n"
         "window. The settings file is read, never written.\n"
         "\n"
         "Commands:\n"
         "  devices                     list the manufacturers and devices of the library\n"
         "  blank                       blank check of the selected device\n"
         "  erase                       erase the device, then blank check it\n"
         "  program FILE                program FILE (and FILE's .eep companion on devices\n"
         "                              with an EEPROM), verify, program the lock bits\n"
         "  verify FILE                 compare the device with FILE (and its .eep companion)\n"
         "  read FILE --format F        read the device out into FILE in format F\n"
         "  convert IN OUT --format F   load IN for the selected device, write OUT in F\n"
         "  detect                      look for the adapter once and show what it answered\n"
         "  calibrate                   measure the time of a register write (TimeBaseKorr)\n"
         "\n"
         "Options (before the command):\n"
         "  -C DIR                  directory of KORVALNK.INI and VOZ8051.CSV (default: .)\n"
         "  --simulator             use the simulated adapter and chip\n"
         "  --sim-state FILE        the simulated chip's state file (created when missing)\n"
         "  -v, --verbose           with the simulator: what the chip ignored, and why\n"
         "  -m NAME                 manufacturer, as the library spells it\n"
         "  -d NAME                 device, as the library spells it\n"
         "  --set KEY=VALUE         a settings key for this run only (repeatable)\n"
         "  -y, --yes               answer OK to confirmation questions (erase)\n"
         "  --on-fault retry|cancel answer to every faulty-byte question (default cancel)\n"
         "  --trace FILE            append every register write to FILE\n"
         "  --fast, --exact         page reads where the chip has them, or the exact\n"
         "                          sequence (default: the setting FastProfile)\n"
         "  -h, --help              this help; COMMAND --help for a command's\n"
         "\n"
         "Formats: bin, intel8, intel32, intelmcs, s1, s2, s3, mos, tek.\n"
         "\n"
         "Exit status:\n" +
         ExitStatusHelp();
}

std::string CommandHelp(CliCommand command) {
  switch (command) {
    case CliCommand::kNone:
      return GlobalHelp();
    case CliCommand::kDevices:
      return "Usage: zivivar-cli [OPTIONS] devices\n"
             "Lists every manufacturer of the device library and its devices with their\n"
             "code memory and EEPROM sizes, instruction format and lock-bit count. The\n"
             "selected device is marked with '*'.\n";
    case CliCommand::kIdentify:
      return "Usage: zivivar-cli [OPTIONS] identify\n"
             "Reads the chip's signature and names the library's devices that match.\n";
    case CliCommand::kBlank:
      return "Usage: zivivar-cli [OPTIONS] blank\n"
             "Checks that the code memory (and the EEPROM) of the device is blank.\n"
             "Every byte that is not is a question, answered by --on-fault.\n";
    case CliCommand::kErase:
      return "Usage: zivivar-cli [OPTIONS] erase\n"
             "Erases the device after the confirmation question (answered OK by -y,\n"
             "else declined: exit status 20), then checks that it is blank.\n";
    case CliCommand::kProgram:
      return "Usage: zivivar-cli [OPTIONS] program FILE [--no-verify] [--lock N]\n"
             "Programs FILE into the code memory and, on a device with an EEPROM, the\n"
             "companion file with the extension .eep into the EEPROM; each is verified\n"
             "unless --no-verify (or Verify=0) says otherwise. When all went well the\n"
             "lock bits are programmed.\n"
             "  --no-verify   do not verify after programming\n"
             "  --lock N      lock level 0 to 3: levels 1 to N are programmed\n"
             "                (default: Lock1 to Lock3 of the settings)\n";
    case CliCommand::kVerify:
      return "Usage: zivivar-cli [OPTIONS] verify FILE\n"
             "Compares the device with FILE and, on a device with an EEPROM, with the\n"
             "companion file with the extension .eep.\n";
    case CliCommand::kRead:
      return "Usage: zivivar-cli [OPTIONS] read FILE --format F\n"
             "Reads the device out into FILE in format F (default: DataFormat of the\n"
             "settings). As in the window, a binary image is named .bin and a text\n"
             "format .hex; the EEPROM goes into the companion file .eep.\n"
             "Formats: bin, intel8, intel32, intelmcs, s1, s2, s3, mos, tek.\n";
    case CliCommand::kConvert:
      return "Usage: zivivar-cli [OPTIONS] convert IN OUT --format F\n"
             "Loads IN as a data file for the code memory of the selected device and\n"
             "writes it to OUT in format F (default: DataFormat of the settings), as a\n"
             "read-out would. No adapter is used.\n"
             "Formats: bin, intel8, intel32, intelmcs, s1, s2, s3, mos, tek.\n";
    case CliCommand::kDetect:
      return "Usage: zivivar-cli [OPTIONS] detect\n"
             "Runs one adapter detection on the port of the settings and shows the port\n"
             "used, whether the handshake answered, and the loop-back bytes read.\n";
    case CliCommand::kCalibrate:
      return "Usage: zivivar-cli [OPTIONS] calibrate [--writes N]\n"
             "Times register writes on the port of the settings and shows the measured\n"
             "microseconds per write and the TimeBaseKorr value that matches. The\n"
             "settings are not changed.\n"
             "  --writes N    time exactly N writes (default: as many as half a second takes)\n";
  }
  return GlobalHelp();
}

}  // namespace zivivar
