// A main dialog on a simulated programmer: a settings directory with its own
// settings file and device library, the scripted window and services, the
// locks in a directory of their own, and helpers to write data files and to
// look into the simulated chip.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/port_access_system.h"
#include "sim/simulated_hardware.h"
#include "support/scripted_main_dialog_view.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"
#include "ui/main_dialog.h"
#include "ui/runtime.h"

namespace zivivar {

// No parallel port on this machine: every port access fails.
class NoParportSystem : public PortAccessSystem {
 public:
  std::vector<ParportInfo> ListParports() override { return {}; }
  PortOpenResult OpenPpdev(const std::string&, uint16_t) override { return {nullptr, "open", 2}; }
  PortOpenResult OpenDirect(uint32_t, uint16_t) override { return {nullptr, "ioperm", 1}; }
  std::string SystemName() override { return "Linux test"; }
};

// Devices of the test library, by their list position under "Testmaker".
enum TestDevice : int {
  kPlainDevice = 0,    // mode 4, 256 bytes, 3 lock bits
  kEepromDevice = 1,   // mode 3, 256 bytes, 64 bytes EEPROM, 3 lock bits
  kNoEraseDevice = 2,  // erase wait 0, no lock bits
  kOneLockDevice = 3,  // one lock bit
  kNoLockDevice = 4,   // mode 4, 256 bytes, no lock bits
};

class DialogTest : public ::testing::Test {
 protected:
  // The settings file's lines, without the section headers.
  std::vector<std::string> hardware = {"PortAdress=378", "Simulator=1", "SimState=chip.zvchip"};
  std::vector<std::string> isp = {"X-Koord=40", "Y-Koord=50", "LastFile="};

  // Sets a key of a section's lines, replacing an earlier value.
  static void SetKey(std::vector<std::string>& lines, const std::string& line) {
    const std::string key = line.substr(0, line.find('=') + 1);
    for (std::string& existing : lines) {
      if (existing.rfind(key, 0) == 0) {
        existing = line;
        return;
      }
    }
    lines.push_back(line);
  }

  void WriteSettings() {
    std::string text = "[Hardware]\r\n";
    for (const std::string& line : hardware)
      text += line + "\r\n";
    text += "[8051 ISP INI-Section]\r\n";
    for (const std::string& line : isp)
      text += line + "\r\n";
    dir.Write("KORVALNK.INI", text);
  }

  static std::string Device(const std::string& name, const std::string& erase_us,
                            const std::string& code, const std::string& eeprom,
                            const std::string& locks, const std::string& mode) {
    return name + ";DIP40;5000;4000;" + erase_us + ";0;0;0;0;0;0;" + code + ";" + eeprom + ";" +
           locks + ";" + mode + ";Y";
  }

  std::vector<std::string> library = {
      ":Testmaker;Y",
      Device("T4", "500000", "256", "0", "3", "4"),
      Device("T3E", "500000", "256", "64", "3", "3"),
      Device("TNOERASE", "0", "256", "0", "0", "4"),
      Device("T1LOCK", "500000", "256", "0", "1", "4"),
      Device("T0LOCK", "500000", "256", "0", "0", "4"),
      ":Other;Y",
      Device("O1", "500000", "128", "0", "2", "4"),
  };

  void WriteLibrary() {
    std::string text;
    for (const std::string& line : library)
      text += line + "\r\n";
    dir.Write("VOZ8051.CSV", text);
  }

  // Builds the run's objects and the dialog, and runs the start-up.
  void Start() {
    WriteSettings();
    WriteLibrary();
    RuntimeOptions options;
    options.settings_directory = dir.path();
    options.lock_directory = locks.path();
    options.port_access_system = &no_parport;
    runtime = std::make_unique<Runtime>(services_view, std::move(options));
    dialog = std::make_unique<MainDialog>(*runtime, view);
    dialog->Initialize();
  }

  // Start() with the given device of the test library selected.
  void StartWith(int device_index) {
    SetKey(isp, "DeviceIndex=" + std::to_string(device_index));
    Start();
  }

  Settings& settings() { return runtime->settings(); }
  sim::SimulatedHardware& hw() { return *runtime->simulator(); }
  const sim::ChipState& chip() { return hw().chip().state(); }

  // Intel HEX data records for bytes from address, then the end record.
  static std::string IntelHex(uint16_t address, const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t at = 0; at < bytes.size(); at += 16) {
      const size_t count = std::min<size_t>(16, bytes.size() - at);
      const uint16_t line_address = static_cast<uint16_t>(address + at);
      std::vector<uint8_t> record = {static_cast<uint8_t>(count),
                                     static_cast<uint8_t>(line_address >> 8),
                                     static_cast<uint8_t>(line_address), 0};
      record.insert(record.end(), bytes.begin() + static_cast<long>(at),
                    bytes.begin() + static_cast<long>(at + count));
      uint8_t sum = 0;
      for (uint8_t byte : record)
        sum = static_cast<uint8_t>(sum + byte);
      record.push_back(static_cast<uint8_t>(-sum));
      text += ':';
      for (uint8_t byte : record) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
      }
      text += "\r\n";
    }
    return text + ":00000001FF\r\n";
  }

  static std::vector<uint8_t> Pattern(size_t count, uint8_t seed) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
      bytes[i] = static_cast<uint8_t>(seed + i * 7);
    return bytes;
  }

  // Makes name in the settings directory the current data file, as the open
  // dialog would.
  void ChooseFile(const std::string& name, int filter = 1) {
    view.QueueOpenDialog({true, dir.File(name), name, filter});
    ASSERT_EQ(dialog->ChooseDataFile(), kCommandOk);
  }

  // Puts a chip of the device's kind with these contents into the socket.
  void InsertChip(uint8_t mode, const std::vector<uint8_t>& code,
                  const std::vector<uint8_t>& eeprom = {}) {
    sim::ChipState state = sim::ErasedChip(
        {mode, static_cast<uint32_t>(code.size()), static_cast<uint32_t>(eeprom.size())});
    state.code = code;
    state.eeprom = eeprom;
    hw().chip().InsertChip(state);
  }

  std::vector<std::string> Messages() const { return services_view.Texts(); }
  void ClearRecords() {
    services_view.Clear();
    view.log.clear();
  }

  testing::TempDir dir;
  testing::TempDir locks;
  NoParportSystem no_parport;
  testing::ScriptedServicesView services_view;
  testing::ScriptedMainDialogView view;
  std::unique_ptr<Runtime> runtime;
  std::unique_ptr<MainDialog> dialog;
};

}  // namespace zivivar
