#include "ui/runtime.h"

#include <sys/stat.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "common/errno_text.h"
#include "hw/linux_port_access_system.h"
#include "sim/chip_models.h"
#include "sim/simulated_hardware.h"

namespace zivivar {
namespace {

// The port before an access is chosen, and after the chosen one was given
// up: nothing answers, so a write times out rather than reaching hardware.
class NoPort : public PortIo {
 public:
  void Out(uint16_t, uint8_t) override {}
  uint8_t In(uint16_t) override { return 0x7F; }
};

std::string Format(const char* format, const std::string& a, const std::string& b = "",
                   const std::string& c = "") {
  const int size = std::snprintf(nullptr, 0, format, a.c_str(), b.c_str(), c.c_str());
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  std::snprintf(text.data(), text.size() + 1, format, a.c_str(), b.c_str(), c.c_str());
  return text;
}

std::string DescribeChipKind(const sim::ChipKind& kind) {
  char text[96];
  std::snprintf(text, sizeof text, "SPIMODE %u, %lu Bytes Code, %lu Bytes EEPROM",
                static_cast<unsigned>(kind.spi_mode), static_cast<unsigned long>(kind.code_size),
                static_cast<unsigned long>(kind.eeprom_size));
  return text;
}

// The place path names, with its directory resolved; empty when the
// directory does not exist.
std::string ResolvedPlace(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string directory =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  char resolved[PATH_MAX];
  if (::realpath(directory.c_str(), resolved) == nullptr)
    return "";
  return std::string(resolved) + "/" + path.substr(slash == std::string::npos ? 0 : slash + 1);
}

const char* ChipStateProblem(sim::ChipStateResult result) {
  switch (result) {
    case sim::ChipStateResult::kReadError:
      return "Die Datei kann nicht gelesen werden.";
    case sim::ChipStateResult::kNotAChipFile:
      return "Die Datei ist keine Zustandsdatei.";
    case sim::ChipStateResult::kUnknownVersion:
      return "Die Datei hat eine unbekannte Version.";
    case sim::ChipStateResult::kTruncated:
      return "Die Datei ist zu kurz.";
    default:
      return "Die Datei ist beschädigt.";
  }
}

// The simulated chip that matches a device of the library, if the simulator
// can model it.
std::optional<sim::ChipKind> ChipKindFor(const DeviceDescriptor& device) {
  sim::ChipKind kind;
  kind.spi_mode = device.spi_mode;
  kind.code_size = device.code_size;
  kind.eeprom_size = device.eeprom_size;
  if (!sim::IsValidChipKind(kind))
    return std::nullopt;
  return kind;
}

// The simulated adapter's clock and the chip times the settings replace.
sim::SimClock SimClockFrom(const Settings& settings) {
  return {settings.SimWriteTime, settings.SimCrystal, settings.SimByteTime, settings.SimEraseTime,
          settings.SimLockTime};
}

}  // namespace

Runtime::Runtime(ServicesView& services_view, RuntimeOptions options)
    : options_(std::move(options)),
      services_(services_view, settings_.MessageBeap),
      no_port_(std::make_unique<NoPort>()),
      port_link_(*no_port_, services_),
      library_(services_, options_.settings_directory),
      selection_(library_, services_),
      image_(std::make_unique<ImageBuffer>()),
      locks_(options_.lock_directory ? *options_.lock_directory : DefaultLockDirectory()) {}

Runtime::~Runtime() {
  // The link must not be left pointing at a port that goes first.
  port_link_.SetPortIo(*no_port_);
}

CommandContext Runtime::command_context() {
  CommandContext context{port_link_, services_, *image_, port_access_.os_kind, {}, {}};
  context.profile = settings_.FastProfile == 1 ? Profile::kFast : Profile::kExact;
  context.keep_chip = [this] { return SaveSimulatorState(); };
  context.refuse_target = [this](const std::string& path) {
    if (!IsSimulatorStateFile(path))
      return false;
    services_.ShowMessage(Format(services_.Translate(kReadOutIsSimStateFormat), path));
    return true;
  };
  return context;
}

SettingsResult Runtime::LoadSettings() {
  const SettingsResult result =
      zivivar::LoadSettings(options_.settings_directory, services_, settings_);
  if (options_.force_simulator) {
    settings_.Simulator = 1;
    if (!options_.simulator_state_file.empty()) {
      settings_.sim_state_path = options_.simulator_state_file;
    }
  }
  if (options_.simulator_faults)
    settings_.SimFault = *options_.simulator_faults;
  if (options_.manuf_index)
    settings_.ManufIndex = *options_.manuf_index;
  if (options_.device_index)
    settings_.DeviceIndex = *options_.device_index;
  if (options_.adjust_settings)
    options_.adjust_settings(settings_);
  // The default state file waits for the chip's kind (KeepSimulatedChipFor).
  if (!options_.simulator_state_directory.empty() && !settings_.sim_state_given &&
      options_.simulator_state_file.empty()) {
    settings_.sim_state_path.clear();
  }
  library_.SetDirectory(options_.library_directory.empty() ? settings_.settings_directory
                                                           : options_.library_directory);
  port_link_.Configure(static_cast<uint16_t>(settings_.PortAdress), settings_.TimeOut,
                       static_cast<uint32_t>(settings_.TimeBaseKorr));
  locks_.SetAdapter(ChosenAdapter());
  return result;
}

bool Runtime::simulated_chip_file_open() const {
  return settings_.Simulator == 1 && !options_.simulator_state_directory.empty() &&
         settings_.sim_state_path.empty();
}

void Runtime::KeepSimulatedChipFor(const DeviceDescriptor& selected) {
  if (!simulated_chip_file_open())
    return;
  // The file is the chip's: the part SimChip puts into the socket, if any.
  const DeviceDescriptor& device = SimChip() ? *SimChip() : selected;
  sim::ChipKind kind;
  kind.spi_mode = device.spi_mode;
  kind.code_size = device.code_size;
  kind.eeprom_size = device.eeprom_size;
  std::string name = sim::ChipModelFor(device.device_name, kind).name;
  for (char& c : name)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::error_code error;
  // A directory that cannot be made shows up when the chip is saved.
  std::filesystem::create_directories(options_.simulator_state_directory, error);
  settings_.sim_state_path = options_.simulator_state_directory + name + ".zvchip";
  locks_.SetAdapter(ChosenAdapter());
}

AdapterId Runtime::ChosenAdapter() {
  if (settings_.Simulator == 1) {
    // Without a state file, every run has a chip of its own.
    if (settings_.sim_state_path.empty())
      return {"", "a simulated chip"};
    return SimulatedChipAdapter(settings_.sim_state_path);
  }
  if (settings_.ParportDevice.empty())
    return ParallelPortAdapter(settings_.PortAdress);
  // A device named by its file is the port at its base address.
  const std::string device = AdapterPath(settings_.ParportDevice);
  for (const ParportInfo& port : port_access_system().ListParports()) {
    if (AdapterPath(port.device) == device)
      return ParallelPortAdapter(port.base);
  }
  return ParallelPortAdapter(settings_.ParportDevice);
}

PortAccessSystem& Runtime::port_access_system() {
  if (options_.port_access_system != nullptr)
    return *options_.port_access_system;
  if (!own_system_)
    own_system_ = std::make_unique<LinuxPortAccessSystem>(services_);
  return *own_system_;
}

SettingsResult Runtime::SaveSettings() {
  return zivivar::SaveSettings(settings_, services_);
}

bool Runtime::PreparePortAccess() {
  return TakePortAccess(zivivar::PreparePortAccess(settings_, port_access_system(), services_));
}

bool Runtime::TakePortAccess(PortAccessChoice choice) {
  port_link_.SetPortIo(*no_port_);
  port_access_ = std::move(choice);
  switch (port_access_.kind) {
    case PortAccessKind::kSimulator: {
      if (!simulator_) {
        simulator_ = std::make_unique<sim::SimulatedHardware>(
            sim::ChipKind{}, settings_.sim_state_path, static_cast<uint16_t>(settings_.PortAdress));
        std::string bad_item;
        if (simulator_->ApplyFaultText(settings_.SimFault, &bad_item) != sim::kFaultsOk) {
          services_.ShowMessage(Format(services_.Translate(kSimFaultRefusedFormat), bad_item));
        }
        const sim::ChipStateResult loaded = simulator_->LoadState();
        socket_chip_known_ = loaded == sim::ChipStateResult::kOk;
        // Until a device is chosen, the chip's kind follows from its memories.
        const sim::ChipKind& kind = simulator_->chip().kind();
        simulator_->chip().SetTiming(
            sim::TimingFor(sim::ChipModelFor("", kind), SimClockFrom(settings_)));
        if (loaded != sim::ChipStateResult::kOk && loaded != sim::ChipStateResult::kNotFound) {
          state_problem_ = loaded;
          services_.ShowMessage(Format(services_.Translate(kSimStateUnreadableFormat),
                                       simulator_->state_path(),
                                       services_.Translate(ChipStateProblem(loaded))));
        }
        if (SimChip() && !state_problem_)
          FitSocket(*SimChip());
      }
      port_link_.SetPortIo(simulator_->port());
      return true;
    }
    case PortAccessKind::kPpdev:
    case PortAccessKind::kDirect:
      if (!port_access_.io)
        return false;
      port_link_.SetPortIo(*port_access_.io);
      return true;
    case PortAccessKind::kDemo:
      break;
  }
  return false;
}

bool Runtime::ApplyPreferences() {
  port_link_.Configure(static_cast<uint16_t>(settings_.PortAdress), settings_.TimeOut,
                       static_cast<uint32_t>(settings_.TimeBaseKorr));
  locks_.SetAdapter(ChosenAdapter());
  if (!PortAccessNeedsRenewal(port_access_, settings_)) {
    return port_access_.kind != PortAccessKind::kDemo;
  }
  // Give up the old port (closing its device releases the claim) before the
  // new one is opened.
  port_link_.SetPortIo(*no_port_);
  port_access_ = PortAccessChoice{};
  return PreparePortAccess();
}

LibraryResult Runtime::LoadSelectedDevice() {
  return selection_.LoadSelectedDevice(settings_.ManufIndex, settings_.DeviceIndex,
                                       static_cast<uint32_t>(settings_.TimeBaseKorr));
}

CommandResult Runtime::LoadDeviceForCommand() {
  if (simulator_ && CheckSimulatorState() != CommandResult::kOk)
    return CommandResult::kSimStateUnusable;
  const CommandResult result = FromLibraryResult(LoadSelectedDevice());
  if (result == CommandResult::kOk && simulator_)
    FitSocket(SimChip() ? *SimChip() : device());
  return result;
}

LibraryResult Runtime::ListLibraryDevices(std::vector<LibraryDevice>& devices) {
  return zivivar::ListLibraryDevices(library_, services_,
                                     static_cast<uint32_t>(settings_.TimeBaseKorr), devices);
}

const std::optional<DeviceDescriptor>& Runtime::SimChip() {
  if (sim_chip_resolved_ || settings_.SimChip.empty())
    return sim_chip_;
  sim_chip_resolved_ = true;
  std::vector<LibraryDevice> devices;
  ListLibraryDevices(devices);
  const std::vector<LibraryDevice> named = DevicesNamed(devices, settings_.SimChip);
  if (named.empty())
    services_.ShowMessage(Format(services_.Translate(kSimChipUnknownFormat), settings_.SimChip));
  else
    sim_chip_ = named.front().record;
  return sim_chip_;
}

void Runtime::FitSocket(const DeviceDescriptor& device) {
  const std::optional<sim::ChipKind> kind = ChipKindFor(device);
  if (kind && !(simulator_->chip().kind() == *kind)) {
    // Its contents are gone once a command saves the new chip.
    if (socket_chip_known_) {
      services_.ShowMessage(
          Format(services_.Translate(kSimChipReplacedFormat), simulator_->state_path(),
                 DescribeChipKind(simulator_->chip().kind()), DescribeChipKind(*kind)));
    }
    simulator_->InsertErasedChip(*kind);
  }
  if (kind) {
    simulator_->chip().SetTiming(
        sim::TimingFor(sim::ChipModelFor(device.device_name, *kind), SimClockFrom(settings_)));
  }
  socket_chip_known_ = true;
}

CommandResult Runtime::CheckSimulatorState() {
  if (!state_problem_)
    return CommandResult::kOk;
  services_.ShowMessage(Format(services_.Translate(kSimStateUnreadableFormat),
                               simulator_->state_path(),
                               services_.Translate(ChipStateProblem(*state_problem_))));
  return CommandResult::kSimStateUnusable;
}

CommandResult Runtime::SaveSimulatorState() {
  if (!simulator_)
    return CommandResult::kOk;
  if (state_problem_)
    return CommandResult::kSimStateUnusable;
  int error = 0;
  if (simulator_->SaveState(&error) != sim::ChipStateResult::kOk) {
    services_.ShowMessage(Format(services_.Translate(kSimStateNotSavedFormat),
                                 simulator_->state_path(),
                                 ErrnoText(error, services_.catalogue())));
    return CommandResult::kSimStateNotSaved;
  }
  return CommandResult::kOk;
}

bool Runtime::IsSimulatorStateFile(const std::string& path) const {
  if (!simulator_ || simulator_->state_path().empty())
    return false;
  struct stat target {};
  struct stat state {};
  if (::stat(path.c_str(), &target) == 0 && ::stat(simulator_->state_path().c_str(), &state) == 0)
    return target.st_dev == state.st_dev && target.st_ino == state.st_ino;
  const std::string place = ResolvedPlace(path);
  return !place.empty() && place == ResolvedPlace(simulator_->state_path());
}

DataFileOptions Runtime::data_file_options() const {
  DataFileOptions options;
  options.test_checksum = settings_.TestChecksum != 0;
  options.hex_line_len = static_cast<uint32_t>(settings_.HexLineLen);
  options.ff_save = settings_.FFSave == 1;
  options.tek_digit_sums = settings_.TekChecksum == 1;
  return options;
}

}  // namespace zivivar
