#include "cli/cli_app.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "cli/adapter_lock.h"
#include "cli/cli_language.h"
#include "cli/cli_options.h"
#include "cli/device_choice.h"
#include "cli/exit_status.h"
#include "cli/file_arguments.h"
#include "cli/file_lookup.h"
#include "cli/job_summary.h"
#include "cli/settings_overrides.h"
#include "cli/terminal_services_view.h"
#include "commands/adapter_commands.h"
#include "commands/convert.h"
#include "commands/device_commands.h"
#include "library/device_selection.h"
#include "programmer/device_operations.h"
#include "programmer/port_link.h"
#include "sim/ignored_instructions.h"
#include "sim/simulated_hardware.h"
#include "ui/runtime.h"

namespace zivivar {
namespace {

constexpr char kProgramName[] = "zivivar-cli";

// The register-write trace: one line per latched write, appended.
class TraceFile {
 public:
  ~TraceFile() { Close(); }

  // 0 or the errno of the failed open.
  int Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "a");
    if (file_ == nullptr)
      return errno;
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
    return 0;
  }
  void Write(int reg, uint8_t value) {
    if (file_ != nullptr)
      std::fprintf(file_, "%d %02X\n", reg, value);
  }
  // 0 or the errno of a failed write.
  int Close() {
    if (file_ == nullptr)
      return 0;
    const bool failed = std::ferror(file_) != 0;
    const int saved = errno;
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (failed)
      return saved != 0 ? saved : EIO;
    return closed == 0 ? 0 : errno;
  }

 private:
  std::FILE* file_ = nullptr;
};

// Sees the link's register writes for the trace and for detect: the writes
// the adapter completed, and the input bytes with register 10 as written.
class WriteWatch : public RegisterWriteObserver {
 public:
  void RegisterWritten(int reg, uint8_t value) override {
    ++writes;
    if (reg == kLinesRegister)
      reg10 = value;
    if (trace != nullptr)
      trace->Write(reg, value);
  }
  void InputByteRead(uint8_t input) override { loopback.emplace_back(reg10, input); }

  TraceFile* trace = nullptr;
  uint64_t writes = 0;
  uint8_t reg10 = 0;
  std::vector<std::pair<uint8_t, uint8_t>> loopback;
};

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

// One run of the tool: the objects a run of the window has, with the
// terminal's services, and the command.
class CliRun {
 public:
  CliRun(const CliOptions& options, const CliEnvironment& environment,
         const MessageCatalogue& catalogue)
      : options_(options),
        environment_(environment),
        out_(*environment.out),
        err_(*environment.err),
        found_(FindFiles(ProcessFilePlaces(options.config_dir))),
        services_view_(
            err_, {options.yes ? kIdOk : kIdCancel, options.retry_faults ? kIdRetry : kIdCancel},
            environment.err_is_terminal, environment.terminal_width),
        runtime_(services_view_, MakeRuntimeOptions()),
        device_choice_(
            options, runtime_, out_, [this](const std::string& line) { Report(line); }, catalogue),
        _(catalogue) {
    runtime_.services().SetCatalogue(&catalogue);
    services_view_.SetInterruptPoll(environment.interrupt_requested);
    services_view_.SetCancelHandler([this] { runtime_.services().RequestCancel(); });
    // The summary line stands for the window's success boxes.
    services_view_.HideMessages({_(kProgramOkMessage), _(kProgramLockedMessage),
                                 _(kVerifyOkMessage), _(kReadOutSavedMessage),
                                 _(kDeviceBlankMessage)});
    services_view_.SetQuiet(options.quiet);
    if (options.verbose) {
      services_view_.SetStatusListener([this](const std::string& status) {
        if (const char* step = StepForStatus(status, _))
          Report(step);
      });
    }
  }

  int Run();

 private:
  RuntimeOptions MakeRuntimeOptions();
  void AdjustSettings(Settings& settings);
  CommandResult ListDevices();
  CommandResult ConvertFile();
  // The adapter's lock, port access, and the watch when something needs to
  // see the register writes.
  CommandResult PreparePort(bool watch);
  CommandResult DetectAdapter();
  CommandResult CalibrateTiming();
  // The adapter's lock, port access, the adapter search and the device
  // loaded around the command.
  CommandResult DeviceCommand();
  // The device loaded around the command.
  CommandResult LockedDeviceCommand();
  CommandResult RunDeviceCommand(const CommandContext& context, const DeviceDescriptor& device);
  // read and convert, before any adapter is touched: the files they would
  // write, refused with --no-clobber when one exists. 0 or the exit status.
  int CheckOutputs();
  CommandResult ReadOutToFile(const CommandContext& context, const DeviceDescriptor& device,
                              JobSummary& summary);
  // program and verify: the EEPROM's file to load, if any.
  std::optional<std::string> EepromToLoad(const DeviceDescriptor& device);
  // The warning for a file taken as binary although it reads as text.
  FileLoadedHook WarnTextAsBinary(const std::optional<std::string>& eeprom);
  // The output format of read and convert: --format, else DataFormat.
  int OutputFormat();
  bool Interrupted() const {
    return environment_.interrupt_requested && environment_.interrupt_requested();
  }
  // Report, unless -q.
  void Note(const std::string& line);
  void PrintSummary(const JobSummary& summary);
  // --lock, else the settings' Lock1 to Lock3.
  LockOptions Locks();
  void Report(const std::string& line);

  const CliOptions& options_;
  const CliEnvironment& environment_;
  std::ostream& out_;
  std::ostream& err_;
  // Before the runtime, whose port link points to them.
  TraceFile trace_;
  WriteWatch watch_;
  FoundFiles found_;
  TerminalServicesView services_view_;
  Runtime runtime_;
  DeviceChoice device_choice_;
  const CliText _;
  std::string override_error_;
};

RuntimeOptions CliRun::MakeRuntimeOptions() {
  RuntimeOptions runtime;
  runtime.settings_directory = found_.settings_directory;
  runtime.library_directory = found_.library_directory;
  runtime.simulator_state_directory = found_.state_directory;
  runtime.lock_directory = environment_.lock_directory;
  runtime.force_simulator = options_.simulator;
  if (options_.sim_state)
    runtime.simulator_state_file = *options_.sim_state;
  runtime.port_access_system = environment_.port_access_system;
  runtime.adjust_settings = [this](Settings& settings) { AdjustSettings(settings); };
  return runtime;
}

void CliRun::AdjustSettings(Settings& settings) {
  std::string error;
  if (!ApplySettingsOverrides(options_.settings, settings, error, _))
    override_error_ = error;
  // A state file named on the command line counts with the simulator of the
  // settings too, and is taken from the working directory like every path typed.
  if (options_.sim_state)
    settings.sim_state_path = *options_.sim_state;
  if (options_.fast_profile)
    settings.FastProfile = *options_.fast_profile ? 1 : 0;
}

LockOptions CliRun::Locks() {
  if (!options_.lock_level) {
    Settings& settings = runtime_.edit_settings();
    return {settings.Lock1, settings.Lock2, settings.Lock3};
  }
  const int level = *options_.lock_level;
  return {level >= 1 ? 1 : 0, level >= 2 ? 1 : 0, level >= 3 ? 1 : 0};
}

void CliRun::Report(const std::string& line) {
  services_view_.ClearLine();
  err_ << kProgramName << ": " << line << '\n';
}

void CliRun::Note(const std::string& line) {
  if (!options_.quiet)
    Report(line);
}

void CliRun::PrintSummary(const JobSummary& summary) {
  if (options_.quiet)
    return;
  services_view_.ClearLine();
  err_ << SummaryLine(summary, _) << '\n';
}

int CliRun::OutputFormat() {
  return options_.format ? *options_.format : runtime_.settings().DataFormat;
}

int CliRun::CheckOutputs() {
  const bool read = options_.command == CliCommand::kRead;
  if (!read && options_.command != CliCommand::kConvert)
    return kExitOk;
  const std::string& file = options_.files[read ? 0 : 1];
  const std::optional<std::string> eeprom =
      read ? EepromFileFor(file, options_) : std::optional<std::string>();
  if (eeprom == kStandardStream) {
    Report(_("the EEPROM cannot go to standard output; name its file with --eeprom FILE"));
    return kExitUsage;
  }
  if (!options_.no_clobber)
    return kExitOk;
  std::vector<std::string> outputs = {file};
  // A device without an EEPROM writes no EEPROM file ("-d auto" may find
  // one that has).
  if (eeprom && !(runtime_.LoadSelectedDevice() == LibraryResult::kOk &&
                  runtime_.device().eeprom_size == 0 && options_.device != "auto")) {
    outputs.push_back(*eeprom);
  }
  if (const std::optional<std::string> existing = FirstExisting(outputs)) {
    Report(Printf(_("%s exists; it is not replaced (--no-clobber)"), existing->c_str()));
    return ExitStatus(CommandResult::kOutputExists);
  }
  return kExitOk;
}

int CliRun::Run() {
  if (options_.trace_path) {
    const int error = trace_.Open(*options_.trace_path);
    if (error != 0) {
      Report(Printf(_("cannot open the trace file '%s': %s"), options_.trace_path->c_str(),
                    std::strerror(error)));
      return kExitUsage;
    }
  }

  runtime_.LoadSettings();
  if (!override_error_.empty()) {
    Report(override_error_);
    return kExitUsage;
  }
  const bool port_only =
      options_.command == CliCommand::kDetect || options_.command == CliCommand::kCalibrate;
  if (found_.library_directory.empty() &&
      (!port_only || options_.device || options_.manufacturer)) {
    Report(LibraryNotFoundText(found_, _));
    return ExitStatus(CommandResult::kDeviceNotLoaded);
  }
  if (const std::optional<int> status = device_choice_.SelectNamed())
    return *status;
  CommandResult result = CommandResult::kOk;
  if (const int refused = CheckOutputs(); refused != kExitOk)
    return refused;

  switch (options_.command) {
    case CliCommand::kDevices:
      result = ListDevices();
      break;
    case CliCommand::kConvert:
      result = ConvertFile();
      break;
    case CliCommand::kDetect:
      result = DetectAdapter();
      break;
    case CliCommand::kCalibrate:
      result = CalibrateTiming();
      break;
    default:
      result = DeviceCommand();
      break;
  }

  // Ctrl-C stops the operation as "Abbrechen" does: programming mode is
  // left and a stopped read-out writes nothing.
  if (result != CommandResult::kOk && Interrupted())
    result = CommandResult::kInterrupted;
  if (result == CommandResult::kInterrupted)
    Report(_("interrupted"));

  const int trace_error = trace_.Close();
  if (trace_error != 0) {
    Report(Printf(_("cannot write the trace file '%s': %s"), options_.trace_path->c_str(),
                  std::strerror(trace_error)));
    if (result == CommandResult::kOk)
      result = CommandResult::kFileNotSaved;
  }
  return ExitStatus(result);
}

CommandResult CliRun::ListDevices() {
  const Settings& settings = runtime_.settings();
  DeviceSelection& selection = runtime_.selection();
  const auto korr = static_cast<uint32_t>(settings.TimeBaseKorr);
  int32_t selected_manuf = settings.ManufIndex;
  if (selection.FillManufacturerList(selected_manuf) != LibraryResult::kOk)
    return CommandResult::kDeviceNotLoaded;
  const std::vector<SelectionEntry> manufacturers = selection.manufacturers().entries;

  struct Row {
    bool selected;
    std::string manufacturer;
    const char* device_or_note;
    std::string device;
    DeviceDescriptor record;
    bool has_device;
  };
  std::vector<Row> rows;
  size_t manuf_width = std::strlen("MANUFACTURER");
  size_t device_width = std::strlen("DEVICE");
  for (size_t m = 0; m < manufacturers.size(); ++m) {
    const std::string& name = manufacturers[m].text;
    manuf_width = std::max(manuf_width, name.size());
    int32_t selected_device = settings.DeviceIndex;
    selection.FillDeviceList(static_cast<int32_t>(m), selected_device, korr);
    bool any = false;
    const std::vector<SelectionEntry>& devices = selection.devices().entries;
    for (size_t d = 0; d < devices.size(); ++d) {
      if (devices[d].line_number == 0)
        continue;
      any = true;
      const bool selected =
          static_cast<int32_t>(m) == selected_manuf && static_cast<int32_t>(d) == selected_device;
      rows.push_back({selected, name, "", devices[d].text, devices[d].record, true});
      device_width = std::max(device_width, devices[d].text.size());
    }
    if (!any)
      rows.push_back({false, name, _("(no devices)"), "", {}, false});
  }

  auto pad = [](const std::string& text, size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
  };
  char numbers[64];
  out_ << "  " << pad(_("MANUFACTURER"), manuf_width) << "  " << pad(_("DEVICE"), device_width)
       << "    CODE  EEPROM  MODE  LOCKBITS\n";
  for (const Row& row : rows) {
    out_ << (row.selected ? "* " : "  ") << pad(row.manufacturer, manuf_width) << "  ";
    if (!row.has_device) {
      out_ << row.device_or_note << '\n';
      continue;
    }
    std::snprintf(numbers, sizeof numbers, "%8u  %6u  %4u  %8u", row.record.code_size,
                  row.record.eeprom_size, static_cast<unsigned>(row.record.spi_mode),
                  static_cast<unsigned>(row.record.lock_bit_count));
    out_ << pad(row.device, device_width) << numbers << '\n';
  }
  return CommandResult::kOk;
}

CommandResult CliRun::ConvertFile() {
  const auto start = std::chrono::steady_clock::now();
  const int format = OutputFormat();
  const CommandResult loaded = FromLibraryResult(runtime_.LoadSelectedDevice());
  if (loaded != CommandResult::kOk)
    return loaded;
  const DeviceDescriptor device = runtime_.device();
  const std::string& output = options_.files[1];
  const FileCommandResult done =
      Convert(runtime_.services(), runtime_.image(), device,
              {InputPath(options_.files[0]), output, format, runtime_.data_file_options(),
               output == kStandardStream ? &out_ : nullptr});
  if (done.code)
    WarnTextAsBinary(std::nullopt)(kCodeMemory, *done.code);
  if (done.result == CommandResult::kOk) {
    JobSummary summary;
    summary.command = CliCommand::kConvert;
    summary.code = SummaryFile{options_.files[0], *done.code};
    summary.output = output;
    summary.output_format = format;
    summary.elapsed = std::chrono::steady_clock::now() - start;
    PrintSummary(summary);
  }
  return done.result;
}

CommandResult CliRun::PreparePort(bool watch) {
  const CommandResult locked =
      LockAdapter(runtime_.locks(),
                  {options_.wait, options_.quiet, environment_.interrupt_requested,
                   [this](const std::string& line) { Report(line); }},
                  _);
  if (locked != CommandResult::kOk)
    return locked;
  if (!runtime_.PreparePortAccess())
    return CommandResult::kDemoMode;
  // A state file that holds no chip state was named at its loading; it is
  // left alone, and so is the chip it should hold.
  if (runtime_.simulator_state_unusable())
    return CommandResult::kSimStateUnusable;
  if (options_.trace_path)
    watch_.trace = &trace_;
  if (watch || options_.trace_path)
    runtime_.port_link().SetObserver(&watch_);
  return CommandResult::kOk;
}

CommandResult CliRun::DetectAdapter() {
  CommandResult result = PreparePort(true);
  if (result != CommandResult::kOk)
    return result;
  result = Detect(runtime_.command_context());

  services_view_.ClearLine();
  out_ << _("Port: ") << runtime_.port_access().message << '\n';
  const uint64_t writes = watch_.writes;
  const auto& loopback = watch_.loopback;
  out_ << _("Handshake: ");
  if (writes == 0) {
    out_ << _("no answer\n");
  } else {
    out_ << Printf(_("answered (%llu register writes)\n"), static_cast<unsigned long long>(writes));
  }
  out_ << _("Loop-back:");
  if (loopback.empty())
    out_ << _(" nothing read");
  for (size_t i = 0; i < loopback.size(); ++i) {
    const auto [wrote, read] = loopback[i];
    out_ << (i == 0 ? " " : ", ")
         << Printf(_("wrote %s read %s"), Hex(wrote, 2).c_str(), Hex(read, 2).c_str());
    if (wrote != read)
      out_ << _(" (wrong)");
  }
  out_ << '\n';
  out_ << _("Adapter: ") << (result == CommandResult::kOk ? _("found") : _("not found")) << '\n';
  return result;
}

CommandResult CliRun::CalibrateTiming() {
  const CommandResult prepared = PreparePort(false);
  if (prepared != CommandResult::kOk)
    return prepared;
  std::optional<uint64_t> writes;
  if (options_.writes)
    writes = *options_.writes;
  const Calibration calibration = Calibrate(runtime_.command_context(), writes);
  if (calibration.result != CommandResult::kOk)
    return calibration.result;

  char line[160];
  services_view_.ClearLine();
  out_ << _("Port: ") << runtime_.port_access().message << '\n';
  std::snprintf(line, sizeof line, _("Register writes: %llu in %.1f ms\n"),
                static_cast<unsigned long long>(calibration.writes),
                static_cast<double>(calibration.elapsed.count()) / 1e6);
  out_ << line;
  std::snprintf(line, sizeof line, _("Microseconds per write: %.3f\n"), calibration.us_per_write);
  out_ << line;
  out_ << "TimeBaseKorr: " << calibration.korr;
  if (calibration.clamped)
    out_ << _(" (the nearest allowed value: the measured time lies outside 1 to 100 microseconds)");
  out_ << Printf(_("\nThe settings hold TimeBaseKorr %d.\n"), runtime_.settings().TimeBaseKorr);
  return CommandResult::kOk;
}

CommandResult CliRun::DeviceCommand() {
  // The simulated chip is kept in a file of its kind's name.
  if (runtime_.simulated_chip_file_open()) {
    const CommandResult loaded = FromLibraryResult(runtime_.LoadSelectedDevice());
    if (loaded != CommandResult::kOk)
      return loaded;
    runtime_.KeepSimulatedChipFor(runtime_.device());
  }
  CommandResult result = PreparePort(false);
  if (result != CommandResult::kOk)
    return result;
  // The window looks for the adapter once at its start; so does every run
  // here. No preferences dialog between attempts, and the settings stay as
  // they are.
  if (!runtime_.port_link().SearchAdapter(1, {}, {}))
    return CommandResult::kNoAdapter;
  result = LockedDeviceCommand();
  // What the simulated chip ignored (instructions it does not know, writes
  // it could not take): all of it with -v, else a hint after a failure.
  if (sim::SimulatedHardware* simulator = runtime_.simulator()) {
    const sim::IgnoredLog& ignored = simulator->chip().ignored();
    for (const std::string& line :
         options_.verbose ? sim::IgnoredReport(ignored) : std::vector<std::string>{})
      Report(_("simulator: ") + line);
    if (result != CommandResult::kOk && !options_.verbose && !ignored.empty())
      Report(_("simulator: ") + sim::IgnoredHint(ignored) + _(" (-v lists all)"));
  }
  return result;
}

CommandResult CliRun::LockedDeviceCommand() {
  CommandResult result = CommandResult::kOk;
  if (options_.command == CliCommand::kIdentify) {
    result = device_choice_.Identify(runtime_.command_context());
  } else {
    result = device_choice_.SelectBySignature(runtime_.command_context());
    if (result == CommandResult::kOk)
      result = runtime_.LoadDeviceForCommand();
    if (result == CommandResult::kOk) {
      const DeviceDescriptor device = runtime_.device();
      // Before anything is erased: is it the device named?
      result = device_choice_.CheckChip(runtime_.command_context(), device);
      if (result == CommandResult::kOk)
        result = RunDeviceCommand(runtime_.command_context(), device);
    }
  }
  FinishCommand(runtime_.services());
  return result;
}

CommandResult CliRun::RunDeviceCommand(const CommandContext& context,
                                       const DeviceDescriptor& device) {
  const auto start = std::chrono::steady_clock::now();
  const Settings& settings = runtime_.settings();
  const DataFileOptions file_options = runtime_.data_file_options();
  JobSummary summary;
  summary.command = options_.command;
  summary.device = device.device_name;
  CommandResult result = CommandResult::kOk;
  std::optional<std::string> eeprom;
  FileCommandResult files;
  if (Interrupted())
    return CommandResult::kInterrupted;
  switch (options_.command) {
    case CliCommand::kBlank: {
      // The terminal answers "not blank" with Cancel at the first byte that
      // holds data: that ends the check with its verdict, not as stopped.
      const int declined = services_view_.declined_retries();
      result = BlankCheck(context, device);
      if (result == CommandResult::kBlankCheckAborted &&
          services_view_.declined_retries() > declined && !Interrupted()) {
        result = CommandResult::kDeviceNotBlank;
      }
      break;
    }
    case CliCommand::kErase:
      result = Erase(context, device);
      break;
    case CliCommand::kProgram:
      eeprom = EepromToLoad(device);
      summary.verified = !options_.no_verify && settings.Verify > 0;
      summary.locks = Locks();
      files = Program(context, device,
                      {InputPath(options_.files[0]), eeprom, summary.verified, summary.locks,
                       file_options, WarnTextAsBinary(eeprom)});
      result = files.result;
      break;
    case CliCommand::kVerify:
      eeprom = EepromToLoad(device);
      files =
          Verify(context, device,
                 {InputPath(options_.files[0]), eeprom, file_options, WarnTextAsBinary(eeprom)});
      result = files.result;
      break;
    case CliCommand::kRead:
      result = ReadOutToFile(context, device, summary);
      break;
    default:
      return CommandResult::kOk;
  }
  if (result != CommandResult::kOk)
    return result;
  if (files.code)
    summary.code = SummaryFile{options_.files[0], *files.code};
  if (files.eeprom && eeprom)
    summary.eeprom = SummaryFile{*eeprom, *files.eeprom};
  summary.elapsed = std::chrono::steady_clock::now() - start;
  PrintSummary(summary);
  return result;
}

std::optional<std::string> CliRun::EepromToLoad(const DeviceDescriptor& device) {
  if (device.eeprom_size == 0) {
    if (options_.eeprom)
      Note(Printf(_("%s has no EEPROM; %s is not used"), device.device_name.c_str(),
                  options_.eeprom->c_str()));
    return std::nullopt;
  }
  const std::optional<std::string> eeprom = EepromFileFor(options_.files[0], options_);
  // Only the companion that nobody named may be missing.
  if (eeprom && !options_.eeprom && !PathExists(*eeprom)) {
    Note(Printf(_("no %s; the EEPROM is skipped"), eeprom->c_str()));
    return std::nullopt;
  }
  return eeprom ? std::optional<std::string>(InputPath(*eeprom)) : std::nullopt;
}

FileLoadedHook CliRun::WarnTextAsBinary(const std::optional<std::string>& eeprom) {
  const std::string code = options_.files[0];
  const std::string eeprom_name = eeprom.value_or("");
  return [this, code, eeprom_name](MemoryKind kind, const LoadedFile& file) {
    if (file.text_as_binary) {
      Note(Printf(_("warning: %s reads as text but is in no format known here; it is taken as "
                    "a binary image"),
                  (kind == kCodeMemory ? code : eeprom_name).c_str()));
    }
    // A pipe may have kept the run waiting: nothing is erased after Ctrl-C.
    return !Interrupted();
  };
}

CommandResult CliRun::ReadOutToFile(const CommandContext& context, const DeviceDescriptor& device,
                                    JobSummary& summary) {
  const std::string& file = options_.files[0];
  const int format = OutputFormat();
  std::optional<std::string> eeprom;
  if (device.eeprom_size > 0) {
    eeprom = EepromFileFor(file, options_);
  } else if (options_.eeprom) {
    Note(Printf(_("%s has no EEPROM; nothing goes to %s"), device.device_name.c_str(),
                options_.eeprom->c_str()));
  }
  if (eeprom && *eeprom == file) {
    Report(Printf(_("%s would hold both memories; name the EEPROM's file with --eeprom FILE or "
                    "leave it out with --no-eeprom"),
                  file.c_str()));
    return CommandResult::kFileNotSaved;
  }
  const CommandResult result = ReadOut(context, device,
                                       {file, eeprom, format, runtime_.data_file_options(),
                                        file == kStandardStream ? &out_ : nullptr});
  auto whole = [format](uint32_t size) {
    return LoadedFile{format, size, 0, size > 0 ? size - 1 : 0, false};
  };
  summary.code = SummaryFile{file, whole(device.code_size)};
  if (eeprom)
    summary.eeprom = SummaryFile{*eeprom, whole(device.eeprom_size)};
  return result;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, const CliEnvironment& environment) {
  std::ostream& out = *environment.out;
  std::ostream& err = *environment.err;
  const MessageCatalogue catalogue = CliCatalogue(environment.language);
  const CliText _(catalogue);
  CliOptions options;
  std::string error;
  if (!ParseCommandLine(args, options, error, _)) {
    err << kProgramName << ": " << error << Printf(_("\nTry '%s --help'.\n"), kProgramName);
    return kExitUsage;
  }
  if (options.help) {
    out << CommandHelp(options.command, _);
    return 0;
  }
  if (options.version) {
    out << kProgramName << ' ' << ZIVIVAR_VERSION << '\n';
    return 0;
  }
  for (const auto& [key, value] : options.settings) {
    if (!CheckSettingsOverride(key, value, error, _)) {
      err << kProgramName << ": " << error << Printf(_("\nTry '%s --help'.\n"), kProgramName);
      return kExitUsage;
    }
  }
  CliRun run(options, environment, catalogue);
  return run.Run();
}

}  // namespace zivivar
