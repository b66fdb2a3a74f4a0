#include "cli/cli_app.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "cli/cli_options.h"
#include "cli/settings_overrides.h"
#include "cli/terminal_dialog_view.h"
#include "cli/terminal_services_view.h"
#include "common/atomic_file.h"
#include "common/path_parts.h"
#include "datafiles/data_files.h"
#include "library/device_selection.h"
#include "programmer/device_operations.h"
#include "programmer/port_link.h"
#include "sim/ignored_instructions.h"
#include "sim/simulated_hardware.h"
#include "ui/data_file_naming.h"
#include "ui/main_dialog.h"
#include "ui/runtime.h"

namespace zivivar {
namespace {

constexpr char kProgramName[] = "zivivar-cli";
// Calibration without --writes: batches of writes until this much time has passed.
constexpr auto kCalibrationTime = std::chrono::milliseconds(500);
constexpr unsigned kCalibrationBatch = 1000;
constexpr uint64_t kCalibrationMaxWrites = 100000000;

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
    if (reg == 10)
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

// One run of the tool: the objects a run of the window has, a terminal view
// in place of the window, and the command.
class CliRun {
 public:
  CliRun(const CliOptions& options, const CliEnvironment& environment)
      : options_(options),
        environment_(environment),
        out_(*environment.out),
        err_(*environment.err),
        services_view_(
            err_, {options.yes ? kIdOk : kIdCancel, options.retry_faults ? kIdRetry : kIdCancel},
            environment.err_is_terminal, environment.terminal_width),
        runtime_(services_view_, MakeRuntimeOptions()),
        dialog_(runtime_, view_) {
    services_view_.SetInterruptPoll(environment.interrupt_requested);
    services_view_.SetCancelHandler([this] { dialog_.OnCancelClicked(); });
  }

  int Run();

 private:
  RuntimeOptions MakeRuntimeOptions();
  void AdjustSettings(Settings& settings);
  int SelectByName();
  int SelectDeviceAnywhere(const std::string& name);
  int ListDevices();
  int Convert();
  // Port access, and the watch when something needs to see the register writes.
  int PreparePort(bool watch);
  int Detect();
  int Calibrate();
  int DeviceCommand();
  void Report(const std::string& line);

  const CliOptions& options_;
  const CliEnvironment& environment_;
  std::ostream& out_;
  std::ostream& err_;
  // Before the runtime, whose port link points to them.
  TraceFile trace_;
  WriteWatch watch_;
  TerminalServicesView services_view_;
  TerminalDialogView view_;
  Runtime runtime_;
  MainDialog dialog_;
  std::string override_error_;
};

RuntimeOptions CliRun::MakeRuntimeOptions() {
  RuntimeOptions runtime;
  runtime.settings_directory = options_.directory;
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
  if (!ApplySettingsOverrides(options_.settings, settings, error))
    override_error_ = error;
  // A state file named on the command line counts with the simulator of the
  // settings too, and is taken from the working directory like every path typed.
  if (options_.sim_state)
    settings.sim_state_path = *options_.sim_state;
  if (options_.no_verify)
    settings.Verify = 0;
  if (options_.lock_level) {
    settings.Lock1 = *options_.lock_level >= 1 ? 1 : 0;
    settings.Lock2 = *options_.lock_level >= 2 ? 1 : 0;
    settings.Lock3 = *options_.lock_level >= 3 ? 1 : 0;
  }
}

void CliRun::Report(const std::string& line) {
  services_view_.ClearLine();
  err_ << kProgramName << ": " << line << '\n';
}

int CliRun::Run() {
  if (options_.trace_path) {
    const int error = trace_.Open(*options_.trace_path);
    if (error != 0) {
      Report("cannot open the trace file '" + *options_.trace_path + "': " + std::strerror(error));
      return kExitUsage;
    }
  }

  runtime_.LoadSettings();
  if (!override_error_.empty()) {
    Report(override_error_);
    return kExitUsage;
  }
  int result = SelectByName();
  if (result != kLibraryOk)
    return result;

  switch (options_.command) {
    case CliCommand::kDevices:
      result = ListDevices();
      break;
    case CliCommand::kConvert:
      result = Convert();
      break;
    case CliCommand::kDetect:
      result = Detect();
      break;
    case CliCommand::kCalibrate:
      result = Calibrate();
      break;
    default:
      result = DeviceCommand();
      break;
  }

  const int trace_error = trace_.Close();
  if (trace_error != 0) {
    Report("cannot write the trace file '" + *options_.trace_path +
           "': " + std::strerror(trace_error));
    if (result == 0)
      result = kSaveFailed;
  }
  return result;
}

int CliRun::SelectByName() {
  Settings& settings = runtime_.settings();
  DeviceSelection& selection = runtime_.selection();
  const auto korr = static_cast<uint32_t>(settings.TimeBaseKorr);
  if (options_.manufacturer) {
    int32_t manuf = settings.ManufIndex;
    if (selection.FindManufacturerByName(*options_.manufacturer, manuf) != kLibraryOk)
      return kLibraryFailed;
    settings.ManufIndex = manuf;
  }
  if (!options_.device)
    return kLibraryOk;
  if (!options_.manufacturer)
    return SelectDeviceAnywhere(*options_.device);
  int32_t device = settings.DeviceIndex;
  if (selection.FindDeviceByName(settings.ManufIndex, *options_.device, device, korr) !=
      kLibraryOk) {
    return kLibraryFailed;
  }
  settings.DeviceIndex = device;
  return kLibraryOk;
}

// A device named without its manufacturer: the selected manufacturer's list
// first, then the others in library order.
int CliRun::SelectDeviceAnywhere(const std::string& name) {
  Settings& settings = runtime_.settings();
  DeviceSelection& selection = runtime_.selection();
  const auto korr = static_cast<uint32_t>(settings.TimeBaseKorr);
  int32_t manuf = settings.ManufIndex;
  if (selection.FillManufacturerList(manuf) != kLibraryOk)
    return kLibraryFailed;
  std::vector<int32_t> order = {manuf};
  for (int32_t i = 0; i < static_cast<int32_t>(selection.manufacturers().entries.size()); ++i) {
    if (i != manuf)
      order.push_back(i);
  }
  for (const int32_t m : order) {
    int32_t index = 0;
    selection.FillDeviceList(m, index, korr);
    const std::vector<SelectionEntry>& devices = selection.devices().entries;
    for (size_t i = 0; i < devices.size(); ++i) {
      if (devices[i].line_number != 0 && devices[i].text == name) {
        settings.ManufIndex = m;
        settings.DeviceIndex = static_cast<int32_t>(i);
        return kLibraryOk;
      }
    }
  }
  // Not there: the library's own message for the selected manufacturer.
  int32_t device = settings.DeviceIndex;
  selection.FindDeviceByName(manuf, name, device, korr);
  return kLibraryFailed;
}

int CliRun::ListDevices() {
  const Settings& settings = runtime_.settings();
  DeviceSelection& selection = runtime_.selection();
  const auto korr = static_cast<uint32_t>(settings.TimeBaseKorr);
  int32_t selected_manuf = settings.ManufIndex;
  if (selection.FillManufacturerList(selected_manuf) != kLibraryOk)
    return kLibraryFailed;
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
      rows.push_back({false, name, "(no devices)", "", {}, false});
  }

  auto pad = [](const std::string& text, size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
  };
  char numbers[64];
  out_ << "  " << pad("MANUFACTURER", manuf_width) << "  " << pad("DEVICE", device_width)
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
  return kOperationOk;
}

int CliRun::Convert() {
  Settings& settings = runtime_.settings();
  // Loading sets the current format to the one recognised; the one to write
  // is chosen before.
  const int format = options_.format ? *options_.format : settings.DataFormat;
  if (runtime_.LoadSelectedDevice() != kLibraryOk)
    return kLibraryFailed;
  DataFiles& files = runtime_.data_files();
  const DataFileOptions file_options = runtime_.data_file_options();
  const int loaded = files.LoadDataFile(options_.files[0], kCodeMemory, file_options);
  if (loaded != kLoadOk)
    return loaded;
  settings.DataFormat = format;
  // The output is made again from its input at once, so it is not forced
  // onto the disk; a read-out, the only copy of a chip's contents, is.
  files.SetFileWriter(WriteFileAtomicallyUnsynced);
  return files.WriteDataFile(options_.files[1], kCodeMemory, file_options);
}

int CliRun::PreparePort(bool watch) {
  if (!runtime_.PreparePortAccess())
    return kCommandDemoMode;
  // A state file that holds no chip state was named at its loading; it is
  // left alone, and so is the chip it should hold.
  if (runtime_.simulator_state_unusable())
    return kSimStateUnusable;
  if (options_.trace_path)
    watch_.trace = &trace_;
  if (watch || options_.trace_path)
    runtime_.port_link().SetObserver(&watch_);
  return kOperationOk;
}

int CliRun::Detect() {
  int result = PreparePort(true);
  if (result != kOperationOk)
    return result;
  result = runtime_.port_link().DetectAdapter();

  services_view_.ClearLine();
  out_ << "Port: " << runtime_.port_access().message << '\n';
  const uint64_t writes = watch_.writes;
  const auto& loopback = watch_.loopback;
  out_ << "Handshake: ";
  if (writes == 0) {
    out_ << "no answer\n";
  } else {
    out_ << "answered (" << writes << " register writes)\n";
  }
  out_ << "Loop-back:";
  if (loopback.empty())
    out_ << " nothing read";
  for (size_t i = 0; i < loopback.size(); ++i) {
    const auto [wrote, read] = loopback[i];
    out_ << (i == 0 ? " " : ", ") << "wrote " << Hex(wrote, 2) << " read " << Hex(read, 2);
    if (wrote != read)
      out_ << " (wrong)";
  }
  out_ << '\n';
  out_ << "Adapter: " << (result == kLinkOk ? "found" : "not found") << '\n';
  return result;
}

int CliRun::Calibrate() {
  int result = PreparePort(false);
  if (result != kOperationOk)
    return result;
  PortLink& link = runtime_.port_link();
  link.ClearLinkLost();
  link.RaisePriority(runtime_.os_kind());
  link.ResetAdapter();
  // The writes that the counted delays make: register 4 with the timer bit.
  uint8_t& reg4 = link.RegisterImage(4);
  reg4 |= kReg4Timer;
  uint64_t writes = 0;
  bool failed = false;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  Clock::duration elapsed{};
  if (options_.writes) {
    for (; writes < *options_.writes && !failed; ++writes)
      failed = link.WriteRegister(4, reg4) != kLinkOk;
  } else {
    while (!failed && writes < kCalibrationMaxWrites) {
      for (unsigned i = 0; i < kCalibrationBatch && !failed; ++i, ++writes)
        failed = link.WriteRegister(4, reg4) != kLinkOk;
      if (Clock::now() - start >= kCalibrationTime)
        break;
    }
  }
  elapsed = Clock::now() - start;
  reg4 &= static_cast<uint8_t>(~kReg4Timer);
  link.WriteRegister(4, reg4);
  link.ResetAdapter();
  link.RestorePriority();
  if (failed || link.link_lost())
    return kHandshakeTimeout;

  const double ns =
      static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
  const double us_per_write = ns / 1000.0 / static_cast<double>(writes);
  const long rounded = std::lround(us_per_write);
  const long korr = std::clamp(rounded, 1L, 100L);
  char line[160];
  services_view_.ClearLine();
  out_ << "Port: " << runtime_.port_access().message << '\n';
  std::snprintf(line, sizeof line, "Register writes: %llu in %.1f ms\n",
                static_cast<unsigned long long>(writes), ns / 1e6);
  out_ << line;
  std::snprintf(line, sizeof line, "Microseconds per write: %.3f\n", us_per_write);
  out_ << line;
  out_ << "TimeBaseKorr: " << korr;
  if (korr != rounded)
    out_ << " (the nearest allowed value: the measured time lies outside 1 to 100 microseconds)";
  out_ << "\nThe settings hold TimeBaseKorr " << runtime_.settings().TimeBaseKorr << ".\n";
  return kOperationOk;
}

int CliRun::DeviceCommand() {
  Settings& settings = runtime_.settings();
  int result = PreparePort(false);
  if (result != kOperationOk)
    return result;
  // The window looks for the adapter once at its start; so does every run
  // here. No preferences dialog between attempts, and the settings stay as
  // they are.
  if (!runtime_.port_link().SearchAdapter(1, {}, {}))
    return kAdapterNotFound;

  switch (options_.command) {
    case CliCommand::kBlank:
      result = dialog_.BlankCheckCommand();
      break;
    case CliCommand::kErase:
      result = dialog_.EraseCommand();
      break;
    case CliCommand::kProgram:
    case CliCommand::kVerify: {
      const std::string& path = options_.files[0];
      const DataFileNames names = NamesFromDialog(
          path, MakePath({"", "", SplitPath(path).name, SplitPath(path).extension}));
      settings.data_file_path = names.path;
      settings.data_file_name = names.name;
      settings.data_directory = names.directory;
      result = options_.command == CliCommand::kProgram ? dialog_.ProgramCommand()
                                                        : dialog_.VerifyCommand();
      break;
    }
    case CliCommand::kRead: {
      const int format = options_.format ? *options_.format : settings.DataFormat;
      view_.AnswerSaveDialog(options_.files[0], format + 1);
      result = dialog_.ReadOutCommand();
      if (result == kCommandOk) {
        services_view_.ClearLine();
        out_ << settings.data_file_path << '\n';
        if (runtime_.device().eeprom_size > 0)
          out_ << dialog_.eeprom_path() << '\n';
      }
      break;
    }
    default:
      break;
  }
  if (result == kCommandBusy)
    Report("another copy is running a device command; nothing was done");
  if (sim::SimulatedHardware* simulator = runtime_.simulator()) {
    const sim::IgnoredLog& ignored = simulator->chip().ignored();
    for (const std::string& line :
         options_.verbose ? sim::IgnoredReport(ignored) : std::vector<std::string>{})
      Report("simulator: " + line);
    if (result != kCommandOk && !options_.verbose && !ignored.empty())
      Report("simulator: " + sim::IgnoredHint(ignored) + " (-v lists all)");
  }
  return result;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, const CliEnvironment& environment) {
  std::ostream& out = *environment.out;
  std::ostream& err = *environment.err;
  CliOptions options;
  std::string error;
  if (!ParseCommandLine(args, options, error)) {
    err << kProgramName << ": " << error << "\nTry '" << kProgramName << " --help'.\n";
    return kExitUsage;
  }
  if (options.help) {
    out << CommandHelp(options.command);
    return 0;
  }
  for (const auto& [key, value] : options.settings) {
    if (!CheckSettingsOverride(key, value, error)) {
      err << kProgramName << ": " << error << "\nTry '" << kProgramName << " --help'.\n";
      return kExitUsage;
    }
  }
  CliRun run(options, environment);
  return run.Run();
}

}  // namespace zivivar
