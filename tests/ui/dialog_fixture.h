// A main dialog on a simulated programmer: a settings directory with its own
// settings file and device library, the scripted window and services, the
// locks in a directory of their own, and helpers for data files and the chip.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/simulated_hardware.h"
#include "support/no_port_system.h"
#include "support/scripted_main_dialog_view.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"
#include "ui/main_dialog.h"
#include "ui/runtime.h"

namespace zivivar {

using Bytes = std::vector<uint8_t>;

// Devices of the test library, by their list position under "Testmaker".
enum TestDevice : int {
  kPlainDevice = 0,    // mode 4, 256 bytes, 3 lock bits
  kEepromDevice = 1,   // mode 3, 256 bytes, 64 bytes EEPROM, 3 lock bits
  kNoEraseDevice = 2,  // erase wait 0, no lock bits
  kOneLockDevice = 3,  // one lock bit
  kNoLockDevice = 4,   // no lock bits
};

class DialogTest : public ::testing::Test {
 protected:
  // The settings file's two sections, and the library's lines.
  std::map<std::string, std::string> hardware = {
      {"PortAdress", "378"}, {"Simulator", "1"}, {"SimState", "chip.zvchip"}};
  std::map<std::string, std::string> isp = {{"X-Koord", "40"}, {"Y-Koord", "50"}, {"LastFile", ""}};
  std::vector<std::string> library = {
      ":Testmaker;Y",
      "T4;DIP40;5000;4000;500000;0;0;0;0;0;0;256;0;3;4;Y",
      "T3E;DIP40;5000;4000;500000;0;0;0;0;0;0;256;64;3;3;Y",
      "TNOERASE;DIP40;5000;4000;0;0;0;0;0;0;0;256;0;0;4;Y",
      "T1LOCK;DIP40;5000;4000;500000;0;0;0;0;0;0;256;0;1;4;Y",
      "T0LOCK;DIP40;5000;4000;500000;0;0;0;0;0;0;256;0;0;4;Y",
      ":Other;Y",
      "O1;DIP40;5000;4000;500000;0;0;0;0;0;0;128;0;2;4;Y",
  };

  // Writes the settings and the library, builds the run's objects and the
  // dialog, and runs the start-up.
  void Start(RuntimeOptions options = {}) {
    std::string ini = "[Hardware]\r\n";
    for (const auto& [key, value] : hardware)
      ini += key + "=" + value + "\r\n";
    ini += "[8051 ISP INI-Section]\r\n";
    for (const auto& [key, value] : isp)
      ini += key + "=" + value + "\r\n";
    dir.Write("KORVALNK.INI", ini);
    std::string lines;
    for (const std::string& line : library)
      lines += line + "\r\n";
    dir.Write("VOZ8051.CSV", lines);
    options.settings_directory = dir.path();
    options.lock_directory = locks.path();
    options.port_access_system = &no_parport;
    dialog.reset();
    runtime.reset();
    runtime = std::make_unique<Runtime>(services_view, std::move(options));
    dialog = std::make_unique<MainDialog>(*runtime, view);
    dialog->Initialize();
  }
  void StartWith(int device_index) {
    isp["DeviceIndex"] = std::to_string(device_index);
    Start();
  }

  Settings& settings() { return runtime->edit_settings(); }
  sim::SimulatedHardware& hw() { return *runtime->simulator(); }
  const sim::ChipState& chip() { return hw().chip().state(); }

  // Neither blank nor 0x00 (which a locked chip reads back).
  static Bytes Pattern(size_t count, uint8_t seed) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i)
      bytes[i] = static_cast<uint8_t>(seed + i * 7);
    return bytes;
  }
  // A binary data file in the settings directory.
  Bytes WriteFile(const std::string& name, const Bytes& bytes) {
    dir.Write(name, std::string(bytes.begin(), bytes.end()));
    return bytes;
  }
  // Puts a chip of the device's kind with these contents into the socket.
  void InsertChip(uint8_t mode, const Bytes& code, const Bytes& eeprom = {}) {
    sim::ChipState state = sim::ErasedChip(
        {mode, static_cast<uint32_t>(code.size()), static_cast<uint32_t>(eeprom.size())});
    state.code = code;
    state.eeprom = eeprom;
    hw().chip().InsertChip(state);
  }

  std::vector<std::string> Messages() const { return services_view.Texts(); }
  void ClearRecords() { services_view.Clear(); }
  // What every device command leaves behind once it has created its busy window.
  void ExpectIdle() {
    EXPECT_FALSE(view.busy_window_shown);
    for (const auto& [control, off] :
         view.disabled)  // the test devices that can be erased and locked
      EXPECT_FALSE(off) << "control " << static_cast<int>(control) << " left disabled";
    ASSERT_FALSE(services_view.statuses.empty());
    EXPECT_EQ(services_view.statuses.back(), kIdleStatus);
    EXPECT_FALSE(services_view.cancel_enabled);
    EXPECT_FALSE(runtime->services().CancelRequested());
    EXPECT_FALSE(NamedLock(locks.path(), kBusyWindowTitle).HeldElsewhere()) << "busy lock released";
  }

  testing::TempDir dir;
  testing::TempDir locks;
  testing::NoPortSystem no_parport;
  testing::ScriptedServicesView services_view;
  testing::ScriptedMainDialogView view;
  std::unique_ptr<Runtime> runtime;
  std::unique_ptr<MainDialog> dialog;
};

}  // namespace zivivar
