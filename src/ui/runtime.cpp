#include "ui/runtime.h"

#include <cstdio>
#include <utility>

#include "common/errno_text.h"
#include "hw/linux_port_access_system.h"
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

std::string Format(const char* format, const std::string& a, const std::string& b = "") {
  const int size = std::snprintf(nullptr, 0, format, a.c_str(), b.c_str());
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  std::snprintf(text.data(), text.size() + 1, format, a.c_str(), b.c_str());
  return text;
}

const char* ChipStateProblem(int result) {
  switch (result) {
    case sim::kChipStateReadError:
      return "Die Datei kann nicht gelesen werden.";
    case sim::kChipStateNotAChipFile:
      return "Die Datei ist keine Zustandsdatei.";
    case sim::kChipStateUnknownVersion:
      return "Die Datei hat eine unbekannte Version.";
    case sim::kChipStateTruncated:
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
  return {port_link_, services_, *image_, port_access_.os_kind, [this] { SaveSimulatorState(); }};
}

int Runtime::LoadSettings() {
  const int result = zivivar::LoadSettings(options_.settings_directory, services_, settings_);
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
  library_.SetDirectory(settings_.settings_directory);
  port_link_.Configure(static_cast<uint16_t>(settings_.PortAdress), settings_.TimeOut,
                       static_cast<uint32_t>(settings_.TimeBaseKorr));
  return result;
}

int Runtime::SaveSettings() {
  return zivivar::SaveSettings(settings_, services_);
}

bool Runtime::PreparePortAccess() {
  PortAccessSystem* system = options_.port_access_system;
  if (system == nullptr) {
    if (!own_system_)
      own_system_ = std::make_unique<LinuxPortAccessSystem>(services_);
    system = own_system_.get();
  }
  return TakePortAccess(zivivar::PreparePortAccess(settings_, *system, services_));
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
          services_.ShowMessage(Format(kSimFaultRefusedFormat, bad_item));
        }
        const int loaded = simulator_->LoadState();
        if (loaded != sim::kChipStateOk && loaded != sim::kChipStateNotFound) {
          services_.ShowMessage(Format(kSimStateUnreadableFormat, simulator_->state_path(),
                                       ChipStateProblem(loaded)));
        }
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
  if (!PortAccessNeedsRenewal(port_access_, settings_)) {
    return port_access_.kind != PortAccessKind::kDemo;
  }
  // Give up the old port (closing its device releases the claim) before the
  // new one is opened.
  port_link_.SetPortIo(*no_port_);
  port_access_ = PortAccessChoice{};
  return PreparePortAccess();
}

int Runtime::LoadSelectedDevice() {
  const int result = selection_.LoadSelectedDevice(settings_.ManufIndex, settings_.DeviceIndex,
                                                   static_cast<uint32_t>(settings_.TimeBaseKorr));
  if (result == kLibraryOk && simulator_) {
    const std::optional<sim::ChipKind> kind = ChipKindFor(device());
    if (kind && !(simulator_->chip().kind() == *kind))
      simulator_->InsertErasedChip(*kind);
  }
  return result;
}

void Runtime::SaveSimulatorState() {
  if (!simulator_)
    return;
  int error = 0;
  if (simulator_->SaveState(&error) != sim::kChipStateOk) {
    services_.ShowMessage(
        Format(kSimStateNotSavedFormat, simulator_->state_path(), ErrnoText(error)));
  }
}

DataFileOptions Runtime::data_file_options() const {
  DataFileOptions options;
  options.test_checksum = settings_.TestChecksum != 0;
  options.hex_line_len = static_cast<uint32_t>(settings_.HexLineLen);
  options.ff_save = settings_.FFSave == 1;
  return options;
}

}  // namespace zivivar
