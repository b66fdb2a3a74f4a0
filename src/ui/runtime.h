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
enum class ChipStateResult;
}  // namespace sim

// What a front end may decide instead of the settings file.
struct RuntimeOptions {
  // Where KORVALNK.INI and VOZ8051.CSV are; empty: the working directory.
  std::string settings_directory;
  // Where VOZ8051.CSV is when not in the settings directory; empty: there.
  std::string library_directory;
  // Where the simulated chips are kept, one state file per chip kind, unless
  // the settings' SimState or simulator_state_file name one; empty: SimState's
  // default in the settings directory. See KeepSimulatedChipFor.
  std::string simulator_state_directory;
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
    "Zustandsdatei des Simulators kann nicht gelesen werden:\n%s\n\n%s\n\nDie Datei wird "
    "nicht überschrieben. Befehle am Baustein sind gesperrt,\nbis sie ersetzt oder entfernt "
    "ist.";
inline constexpr char kSimStateNotSavedFormat[] =
    "Zustandsdatei des Simulators kann nicht geschrieben werden:\n%s\n\n%s";
// printf format: the file, the kind found there, the kind now in the socket.
inline constexpr char kSimChipReplacedFormat[] =
    "Im Sockel des Simulators (%s)\nsteckte ein Baustein anderer Art:\n%s\n\nEr wird durch "
    "einen gelöschten Baustein ersetzt:\n%s";
inline constexpr char kReadOutIsSimStateFormat[] =
    "Die Datei\n%s\n\nist die Zustandsdatei des Simulators und wird nicht überschrieben.\n\n"
    "Speichervorgang abgebrochen.";

class Runtime {
 public:
  // services_view must outlive the runtime.
  Runtime(ServicesView& services_view, RuntimeOptions options);
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  const Settings& settings() const { return settings_; }
  // What a front end changes in the settings: the window's boxes, lists,
  // file names and place, the preferences dialog's values, the command
  // line's choice of device. A change of the port's values counts once
  // ApplyPreferences has run.
  Settings& edit_settings() { return settings_; }
  Services& services() { return services_; }
  PortLink& port_link() { return port_link_; }
  DeviceSelection& selection() { return selection_; }
  // The selected device, as the last LoadSelectedDevice left it.
  const DeviceDescriptor& device() const { return library_.descriptor(); }
  ImageBuffer& image() { return *image_; }
  // What the commands need of this run: link, services, image, the
  // operating system's kind, and the simulator's state kept after the work.
  CommandContext command_context();
  ProcessLocks& locks() { return locks_; }
  const RuntimeOptions& options() const { return options_; }

  // LoadSettings from the settings directory, then the options' overrides;
  // the library, the port link and the adapter lock follow the loaded values.
  SettingsResult LoadSettings();
  // True when the simulated chip's state file waits for the chip's kind:
  // the simulator is chosen, with a simulator_state_directory and no state
  // file named by the settings or the options.
  bool simulated_chip_file_open() const;
  // Names the state file for device's chip kind ("at89s52.zvchip") in the
  // simulator_state_directory, which is created when missing, and points the
  // adapter lock at it. For before PreparePortAccess; nothing unless
  // simulated_chip_file_open().
  void KeepSimulatedChipFor(const DeviceDescriptor& device);
  // The adapter the settings choose: the simulated chip's state file, the
  // parallel port's device or its base address.
  AdapterId ChosenAdapter();
  SettingsResult SaveSettings();
  // Chooses the port access (the simulator, the parallel port or none) and
  // gives it to the port link. False: demo mode (the user was told why).
  bool PreparePortAccess();
  // After the preferences dialog took new values: the port link is
  // reconfigured, and the port access chosen again when another port was
  // asked for. False when the new choice leaves no port access.
  bool ApplyPreferences();
  // Loads the selected device's descriptor.
  LibraryResult LoadSelectedDevice();
  // What a device command does first: CheckSimulatorState, LoadSelectedDevice,
  // and then the simulator gets an erased chip of the device's kind if its
  // socket holds another (the user changed chips), with a message when the
  // other chip came from the state file or an earlier command.
  CommandResult LoadDeviceForCommand();
  // kOk, or kSimStateUnusable after the message naming the state
  // file and its problem: a file that exists but holds no chip state is
  // left for the user and never overwritten, so no device command runs.
  CommandResult CheckSimulatorState();
  bool simulator_state_unusable() const { return state_problem_.has_value(); }
  // Keeps the simulated chip in its state file (kOk without the simulator).
  // kOk, or kSimStateNotSaved after telling the user that the file cannot be
  // written. Only commands that change the chip call it; never writes over
  // an unusable state file.
  CommandResult SaveSimulatorState();
  // True when path names the simulator's state file (the same file, or the
  // same place when neither exists yet).
  bool IsSimulatorStateFile(const std::string& path) const;
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
  PortAccessSystem& port_access_system();

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
  // The chip_state_file result that makes the state file unusable; 0 if none.
  std::optional<sim::ChipStateResult> state_problem_;
  // The socket holds a chip that was used: from the state file or by a command.
  bool socket_chip_known_ = false;
};

}  // namespace zivivar
