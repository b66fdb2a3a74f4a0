// Runtime: the owner of everything the system has once for the whole run.
// Built once by the front end (the window or the command-line tool) before
// the main dialog, it hands out references; nothing here is global. The
// objects are wired to each other at construction; the settings, the port
// access and the simulator are filled in by the start-up (MainDialog).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "commands/command_context.h"
#include "config/port_access.h"
#include "config/settings.h"
#include "datafiles/data_format.h"
#include "datafiles/image_buffer.h"
#include "hw/port_access_system.h"
#include "library/device_library.h"
#include "library/device_selection.h"
#include "programmer/port_link.h"
#include "services/services.h"
#include "ui/process_locks.h"

namespace zivivar {

namespace sim {
class SimulatedHardware;
}

// What a front end may decide instead of the settings file.
struct RuntimeOptions {
  // Where KORVALNK.INI and VOZ8051.CSV are; empty: the working directory.
  std::string settings_directory;
  // Where the instance and busy locks live; unset: DefaultLockDirectory().
  std::optional<std::string> lock_directory;
  // Use the simulator whatever the settings say; with a non-empty state file
  // its chip is kept there instead of the settings' SimState.
  bool force_simulator = false;
  std::string simulator_state_file;
  // Replaces the settings' SimFault text.
  std::optional<std::string> simulator_faults;
  // The selection to use instead of ManufIndex and DeviceIndex.
  std::optional<int32_t> manuf_index;
  std::optional<int32_t> device_index;
  // Runs after every LoadSettings, after the options above, for any other
  // override (the command line's "-s Key=Value").
  std::function<void(Settings&)> adjust_settings;
  // The operating system's port access; null: the Linux one. Must outlive
  // the runtime.
  PortAccessSystem* port_access_system = nullptr;
};

inline constexpr char kSimFaultRefusedFormat[] =
    "Fehlerschalter des Simulators nicht verstanden:\n'%s'\n\nDer Simulator läuft ohne "
    "Fehlerschalter.";
inline constexpr char kSimStateUnreadableFormat[] =
    "Zustandsdatei des Simulators kann nicht gelesen werden:\n%s\n\n%s\n\nDer Simulator "
    "beginnt mit einem gelöschten Baustein.";
inline constexpr char kSimStateNotSavedFormat[] =
    "Zustandsdatei des Simulators kann nicht geschrieben werden:\n%s\n\n%s";

class Runtime {
 public:
  // services_view must outlive the runtime.
  Runtime(ServicesView& services_view, RuntimeOptions options);
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  Settings& settings() { return settings_; }
  Services& services() { return services_; }
  PortLink& port_link() { return port_link_; }
  DeviceLibrary& library() { return library_; }
  DeviceSelection& selection() { return selection_; }
  // The selected device, as the last LoadSelectedDevice left it.
  const DeviceDescriptor& device() const { return library_.descriptor(); }
  ImageBuffer& image() { return *image_; }
  // What the commands need of this run: link, services, image, the
  // operating system's kind, and the simulator's state kept after the work.
  CommandContext command_context();
  ProcessLocks& locks() { return locks_; }

  // LoadSettings from the settings directory, then the options' overrides;
  // the library and the port link follow the loaded values.
  int LoadSettings();
  int SaveSettings();
  // Chooses the port access (the simulator, the parallel port or none) and
  // gives it to the port link. False: demo mode (the user was told why).
  bool PreparePortAccess();
  // After the preferences dialog took new values: the port link is
  // reconfigured, and the port access chosen again when another port was
  // asked for. False when the new choice leaves no port access.
  bool ApplyPreferences();
  // Loads the selected device's descriptor. The simulator then gets an erased
  // chip of that kind if its socket holds another: the user changed chips.
  int LoadSelectedDevice();
  // Keeps the simulated chip in its state file (no-op without the
  // simulator); tells the user when the file cannot be written.
  void SaveSimulatorState();
  // The reading and writing options of the data files, from the settings.
  DataFileOptions data_file_options() const;

  int os_kind() const { return port_access_.os_kind; }
  PortAccessKind port_access_kind() const { return port_access_.kind; }
  // The port access chosen last: its kind, device, base and description.
  const PortAccessChoice& port_access() const { return port_access_; }
  // The simulator, when the port access chose it; null otherwise.
  sim::SimulatedHardware* simulator() { return simulator_.get(); }

 private:
  bool TakePortAccess(PortAccessChoice choice);

  RuntimeOptions options_;
  Settings settings_;
  Services services_;
  std::unique_ptr<PortIo> no_port_;
  PortLink port_link_;
  DeviceLibrary library_;
  DeviceSelection selection_;
  std::unique_ptr<ImageBuffer> image_;
  ProcessLocks locks_;
  std::unique_ptr<PortAccessSystem> own_system_;
  PortAccessChoice port_access_;
  std::unique_ptr<sim::SimulatedHardware> simulator_;
};

}  // namespace zivivar
