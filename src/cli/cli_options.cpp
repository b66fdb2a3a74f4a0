#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>

#include "cli/exit_status.h"

namespace zivivar {
namespace {

constexpr char kProgramName[] = "zivivar-cli";

struct CommandInfo {
  CliCommand command;
  const char* name;
  size_t files;          // file arguments the command takes
  const char* file_use;  // how they are written in the usage line
  const char* summary;   // one line for the command list
  const char* details;   // the command's own help, after its usage line
};

constexpr std::array<CommandInfo, 10> kCommands = {{
    {CliCommand::kDevices, "devices", 0, "", "list the manufacturers and devices of the library",
     "Lists every manufacturer of the device library and its devices with their\n"
     "code memory and EEPROM sizes, instruction format and lock-bit count. The\n"
     "selected device is marked with '*'."},
    {CliCommand::kIdentify, "identify", 0, "",
     "read the chip's signature and name the devices that match",
     "Reads the signature of the chip in the socket and lists the devices of the\n"
     "library that carry it."},
    {CliCommand::kBlank, "blank", 0, "", "blank check of the device",
     "Checks that the code memory (and the EEPROM) of the device is blank."},
    {CliCommand::kErase, "erase", 0, "", "erase the device, then blank check it",
     "Checks the chip's signature, erases the device (after the confirmation\n"
     "question, answered OK by -y, else declined), then checks that it is blank."},
    {CliCommand::kProgram, "program", 1, "FILE",
     "program FILE (and the EEPROM's file), verify, lock",
     "Checks the chip's signature, programs FILE ('-': standard input) into the\n"
     "code memory and, on a device with an EEPROM, the EEPROM's file into the\n"
     "EEPROM (default: FILE with the extension .eep, skipped when missing);\n"
     "each is verified unless --no-verify (or Verify=0) says otherwise. When all\n"
     "went well the lock bits are programmed."},
    {CliCommand::kVerify, "verify", 1, "FILE", "compare the device with FILE",
     "Compares the device with FILE ('-': standard input) and, on a device with\n"
     "an EEPROM, with the EEPROM's file (default: FILE with the extension .eep,\n"
     "skipped when missing)."},
    {CliCommand::kRead, "read", 1, "FILE", "read the device out into FILE",
     "Reads the device out into exactly FILE ('-': standard output) in format F\n"
     "(default: DataFormat of the settings); on a device with an EEPROM the\n"
     "EEPROM goes into FILE with the extension .eep unless --eeprom or\n"
     "--no-eeprom says otherwise. An existing file is replaced only when the\n"
     "new one is complete.\n"
     "Formats: bin, intel8 (ihx), intel32, intelmcs, s1 (srec), s2, s3, mos, tek."},
    {CliCommand::kConvert, "convert", 2, "IN OUT", "load IN, write it to OUT in another format",
     "Loads IN ('-': standard input) as a data file for the code memory of the\n"
     "device and writes it to OUT ('-': standard output) in format F (default:\n"
     "DataFormat of the settings), as a read-out would. No adapter is used.\n"
     "Formats: bin, intel8 (ihx), intel32, intelmcs, s1 (srec), s2, s3, mos, tek."},
    {CliCommand::kDetect, "detect", 0, "", "look for the adapter once and show its answer",
     "Runs one adapter detection on the port of the settings and shows the port\n"
     "used, whether the handshake answered, and the loop-back bytes read."},
    {CliCommand::kCalibrate, "calibrate", 0, "", "measure the time of a register write",
     "Times register writes on the port of the settings and shows the measured\n"
     "microseconds per write and the TimeBaseKorr value that matches. The\n"
     "settings are not changed."},
}};

struct FormatAlias {
  const char* name;
  int format;  // DataFormat
};

// The names help shows, then other names people use for the same formats.
constexpr std::array<FormatAlias, 17> kFormatNames = {{
    {"bin", 1},
    {"intel8", 2},
    {"intel32", 3},
    {"intelmcs", 4},
    {"s1", 5},
    {"s2", 6},
    {"s3", 7},
    {"mos", 8},
    {"tek", 9},
    {"binary", 1},
    {"ihx", 2},
    {"hex", 2},
    {"srec", 5},
    {"s19", 5},
    {"s28", 6},
    {"s37", 7},
    {"raw", 1},
}};
constexpr size_t kShownFormats = 9;
constexpr char kFormatList[] = "bin, intel8, intel32, intelmcs, s1, s2, s3, mos or tek";

const CommandInfo* FindCommand(const std::string& name) {
  for (const CommandInfo& info : kCommands) {
    if (name == info.name)
      return &info;
  }
  return nullptr;
}

const CommandInfo* InfoOf(CliCommand command) {
  for (const CommandInfo& info : kCommands) {
    if (info.command == command)
      return &info;
  }
  return nullptr;
}

// A whole decimal number within [low, high].
bool ParseNumber(const std::string& text, unsigned long low, unsigned long high,
                 unsigned long& value) {
  if (text.empty() || text.size() > 10 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  value = std::stoul(text);
  return value >= low && value <= high;
}

bool Has(std::initializer_list<CliCommand> commands, CliCommand command) {
  return std::find(commands.begin(), commands.end(), command) != commands.end();
}

// The whole command line as CLI11 sees it: global options on the tool (and
// accepted after the command too), each command with its own options and
// file arguments. The values go straight into options; the texts are in the
// language of _.
class Parser {
 public:
  Parser(CliOptions& options, const CliText& text) : options_(options), _(text) {
    app_.name(kProgramName);
    app_.description(
        _("Programs AT89S flash microcontrollers through the adapter on the parallel port."));
    // Help is an option like the others here: "program --help" needs no file.
    app_.set_help_flag();
    app_.formatter(formatter_);
    formatter_->column_width(30);
    formatter_->label("REQUIRED", "");
    formatter_->label("SUBCOMMAND", _("COMMAND"));
    formatter_->label("Usage", _("Usage"));
    formatter_->label("OPTIONS", _("OPTIONS"));
    // The values' names in the option list.
    for (const char* name : {"DIR", "FILE", "NAME", "KEY=VALUE", "retry|cancel"})
      formatter_->label(name, _(name));
    // An option given twice counts with its last value, as a later setting overrides.
    app_.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    formatter_->label("Subcommands", "Commands");

    const std::string globals = _("Global options (before or after the command)");
    app_.add_option("-C,--config-dir", options.config_dir,
                    _("directory of KORVALNK.INI and VOZ8051.CSV"))
        ->type_name("DIR")
        ->group(globals);
    app_.add_flag("--simulator", options.simulator, _("use the simulated adapter and chip"))
        ->group(globals);
    app_.add_option("--sim-state", options.sim_state,
                    _("the simulated chip's state file (created when missing)"))
        ->type_name("FILE")
        ->group(globals);
    app_.add_option("-d,--device", options.device,
                    _("device, as the library spells it (any case); 'auto': by signature"))
        ->type_name("NAME")
        ->group(globals);
    app_.add_option("-m,--manufacturer", options.manufacturer,
                    _("manufacturer, where device names repeat"))
        ->type_name("NAME")
        ->group(globals);
    app_.add_option("--set", set_values_, _("a settings key for this run only (repeatable)"))
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->type_name("KEY=VALUE")
        ->group(globals);
    app_.add_flag("-y,--yes", options.yes, _("answer OK to the erase question"))->group(globals);
    app_.add_option("--on-fault", on_fault_,
                    _("answer to every faulty-byte question (default cancel)"))
        ->type_name("retry|cancel")
        ->group(globals);
    app_.add_option("--trace", options.trace_path, _("append every register write to FILE"))
        ->type_name("FILE")
        ->group(globals);
    app_.add_flag("--fast", fast_, _("page reads where the chip has them"))->group(globals);
    app_.add_flag("--exact", exact_, _("the exact sequence (default: the setting FastProfile)"))
        ->group(globals);
    app_.add_flag("--wait", options.wait,
                  _("wait while another run uses the adapter (else exit 22)"))
        ->group(globals);
    app_.add_flag("-q,--quiet", options.quiet, _("errors only"))->group(globals);
    app_.add_flag("-v,--verbose", options.verbose,
                  _("list the steps as they start, and what the simulated chip ignored"))
        ->group(globals);
    app_.add_flag("--version", options.version, _("print the version and exit"))->group(globals);
    app_.add_flag("-h,--help", options.help, _("this help; COMMAND --help for a command's"))
        ->group(globals);

    for (const CommandInfo& info : kCommands)
      AddCommand(info);
    CLI::App* help = app_.add_subcommand("help", _("the help of COMMAND, or this help"));
    help->group(_("Subcommands"));
    help->add_option("COMMAND", help_topic_, _("a command"))->type_name("");
    help->fallthrough();
    subcommands_.push_back(help);

    app_.footer(Footer());
  }

  // Parses args (without the program name); false with the reason in error.
  bool Parse(const std::vector<std::string>& args, std::string& error) {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
      app_.parse(reversed);
    } catch (const CLI::ExtrasError&) {
      // A word that no command or option takes: the first of them is named.
      const std::vector<std::string> extras = app_.remaining();
      const std::string word = extras.empty() ? std::string() : extras.front();
      if (!word.empty() && word[0] == '-') {
        error = Printf(_("unknown option '%s'"), word.c_str());
        // Named with the command when it stands after it.
        const auto command_at = std::find(args.begin(), args.end(), CommandName(options_.command));
        if (options_.command != CliCommand::kNone &&
            std::find(command_at, args.end(), word) != args.end())
          error =
              Printf(_("unknown option '%s' for %s"), word.c_str(), CommandName(options_.command));
      } else {
        error = Printf(_("unknown command '%s'"), word.c_str());
      }
      return false;
    } catch (const CLI::ParseError& e) {
      error = Lowered(e.what());
      return false;
    }
    return Finish(error);
  }

  std::string Help(CliCommand command) {
    if (command == CliCommand::kNone)
      return app_.help();
    const CommandInfo* info = InfoOf(command);
    std::string usage =
        std::string(_("Usage")) + ": " + kProgramName + " [" + _("OPTIONS") + "] " + info->name;
    if (*info->file_use != '\0')
      usage += std::string(" ") + _(info->file_use);
    std::string text = usage + "\n" + _(info->details) + "\n";
    CLI::App* sub = app_.get_subcommand(info->name);
    std::string own;
    for (const CLI::Option* option : sub->get_options()) {
      if (option->get_positional() || option->get_group().empty())
        continue;
      own += formatter_->make_option(option, false);
    }
    if (!own.empty())
      text += "\n" + std::string(_("Options")) + ":\n" + own;
    text += Printf(_("\nGlobal options are those of '%s --help'.\n"), kProgramName);
    return text;
  }

 private:
  void AddCommand(const CommandInfo& info) {
    CLI::App* sub = app_.add_subcommand(info.name, _(info.summary));
    sub->group(_("Subcommands"));
    sub->fallthrough();
    sub->set_help_flag();
    // Every command takes file arguments here, so that a wrong number of them
    // is told as such rather than as an unexpected argument.
    sub->add_option("files", options_.files)
        ->type_name(_(info.file_use))
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    const CliCommand command = info.command;
    sub->preparse_callback([this, command](size_t) { options_.command = command; });

    const std::string group = _("Options");
    if (command == CliCommand::kProgram) {
      sub->add_flag("--no-verify", options_.no_verify, _("do not verify after programming"))
          ->group(group);
      sub->add_option("--lock", lock_text_,
                      _("lock level 0 to 3: levels 1 to N are programmed (default: Lock1 to "
                        "Lock3 of the settings)"))
          ->type_name("N")
          ->group(group);
    }
    if (Has({CliCommand::kErase, CliCommand::kProgram}, command)) {
      sub->add_flag("--no-signature", options_.no_signature,
                    _("do not compare the chip's signature with the device's first"))
          ->group(group);
    }
    if (Has({CliCommand::kProgram, CliCommand::kVerify, CliCommand::kRead}, command)) {
      sub->add_option("--eeprom", options_.eeprom,
                      _("the EEPROM's file (default: FILE with the extension .eep)"))
          ->type_name("FILE")
          ->group(group);
      sub->add_flag("--no-eeprom", options_.no_eeprom, _("leave the EEPROM alone"))->group(group);
    }
    if (Has({CliCommand::kRead, CliCommand::kConvert}, command)) {
      sub->add_option("--format", format_name_,
                      _("the format (default: DataFormat of the settings)"))
          ->type_name("F")
          ->group(group);
      sub->add_flag("--no-clobber", options_.no_clobber,
                    _("never replace an existing file (exit 26)"))
          ->group(group);
    }
    if (command == CliCommand::kCalibrate) {
      sub->add_option("--writes", writes_text_,
                      _("time exactly N writes (default: as many as half a second takes)"))
          ->type_name("N")
          ->group(group);
    }
    sub->add_flag("-h,--help", options_.help, _("this help"))->group("");
    subcommands_.push_back(sub);
  }

  // What CLI11 cannot say by itself: the values' own rules and the number of files.
  bool Finish(std::string& error) {
    for (const std::string& value : set_values_) {
      const size_t equals = value.find('=');
      if (equals == std::string::npos || equals == 0) {
        error = Printf(_("--set needs KEY=VALUE, got '%s'"), value.c_str());
        return false;
      }
      options_.settings.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    }
    if (on_fault_) {
      if (*on_fault_ != "retry" && *on_fault_ != "cancel") {
        error = Printf(_("--on-fault takes retry or cancel, not '%s'"), on_fault_->c_str());
        return false;
      }
      options_.retry_faults = *on_fault_ == "retry";
    }
    if (fast_ && exact_) {
      error = _("--fast and --exact exclude each other");
      return false;
    }
    if (fast_ || exact_)
      options_.fast_profile = fast_;
    if (options_.quiet && options_.verbose) {
      error = _("--quiet and --verbose exclude each other");
      return false;
    }
    if (options_.eeprom && options_.no_eeprom) {
      error = _("--eeprom and --no-eeprom exclude each other");
      return false;
    }
    unsigned long number = 0;
    if (lock_text_) {
      if (!ParseNumber(*lock_text_, 0, 3, number)) {
        error = Printf(_("--lock takes 0, 1, 2 or 3, not '%s'"), lock_text_->c_str());
        return false;
      }
      options_.lock_level = static_cast<int>(number);
    }
    if (writes_text_) {
      if (!ParseNumber(*writes_text_, 1, 100000000, number)) {
        error = Printf(_("--writes takes a number from 1 to 100000000, not '%s'"),
                       writes_text_->c_str());
        return false;
      }
      options_.writes = static_cast<unsigned>(number);
    }
    if (format_name_) {
      options_.format = FormatFromName(*format_name_);
      if (!options_.format) {
        error = Printf(_("unknown format '%s' (%s)"), format_name_->c_str(), _(kFormatList));
        return false;
      }
    }
    if (app_.got_subcommand("help")) {
      options_.help = true;
      if (help_topic_) {
        const CommandInfo* info = FindCommand(*help_topic_);
        if (info == nullptr) {
          error = Printf(_("unknown command '%s'"), help_topic_->c_str());
          return false;
        }
        options_.command = info->command;
      }
      return true;
    }
    if (options_.help || options_.version)
      return true;
    if (options_.command == CliCommand::kNone) {
      error = _("no command given");
      return false;
    }
    const CommandInfo& info = *InfoOf(options_.command);
    if (options_.files.size() != info.files) {
      if (info.files == 0) {
        error = Printf(_("%s takes no file argument"), info.name);
      } else if (info.files == 1) {
        error = Printf(_("%s takes one file argument"), info.name);
      } else {
        error = Printf(_("%s takes two file arguments, IN and OUT"), info.name);
      }
      return false;
    }
    return true;
  }

  std::string Footer() const {
    return std::string(_("Formats: bin, intel8 (also ihx, hex), intel32, intelmcs, s1 (also srec, "
                         "s19),\ns2, s3, mos, tek.\n\nExit status:\n")) +
           ExitStatusHelp(_);
  }

  // CLI11's messages start with a capital; ours are lower case, as the other errors.
  static std::string Lowered(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' && (text.size() < 2 || text[1] > 'Z'))
      text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
  }

  CliOptions& options_;
  const CliText& _;
  CLI::App app_;
  std::shared_ptr<CLI::Formatter> formatter_ = std::make_shared<CLI::Formatter>();
  std::vector<CLI::App*> subcommands_;
  std::vector<std::string> set_values_;
  std::optional<std::string> on_fault_;
  std::optional<std::string> format_name_;
  std::optional<std::string> help_topic_;
  std::optional<std::string> lock_text_;
  std::optional<std::string> writes_text_;
  bool fast_ = false;
  bool exact_ = false;
};

}  // namespace

std::optional<int> FormatFromName(const std::string& name) {
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const FormatAlias& entry : kFormatNames) {
    if (lower == entry.name)
      return entry.format;
  }
  return std::nullopt;
}

const char* FormatName(int format) {
  for (size_t i = 0; i < kShownFormats; ++i) {
    if (kFormatNames[i].format == format)
      return kFormatNames[i].name;
  }
  return "";
}

const char* CommandName(CliCommand command) {
  const CommandInfo* info = InfoOf(command);
  return info == nullptr ? "" : info->name;
}

bool ParseCommandLine(const std::vector<std::string>& args, CliOptions& options, std::string& error,
                      const CliText& _) {
  options = CliOptions();
  error.clear();
  Parser parser(options, _);
  return parser.Parse(args, error);
}

std::string GlobalHelp(const CliText& _) {
  CliOptions options;
  return Parser(options, _).Help(CliCommand::kNone);
}

std::string CommandHelp(CliCommand command, const CliText& _) {
  CliOptions options;
  return Parser(options, _).Help(command);
}

}  // namespace zivivar
