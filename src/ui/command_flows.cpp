// The command flows behind the buttons of the main window: the guards, the
// busy window, the work frame and the common end around the device
// operations and the data files.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/atomic_file.h"
#include "config/settings.h"
#include "datafiles/data_files.h"
#include "datafiles/file_errors.h"
#include "programmer/device_operations.h"
#include "programmer/port_link.h"
#include "services/services.h"
#include "ui/file_dialogs.h"
#include "ui/main_dialog.h"
#include "ui/runtime.h"

namespace zivivar {
namespace {

constexpr char kProgramOkMessage[] = "Keine Fehler beim prüfen\n";
constexpr char kProgramLockedMessage[] = "Keine Fehler beim prüfen\n\nLockbits sind aktiv.";
constexpr char kVerifyOkMessage[] = "Keine Fehler beim Prüfen";
constexpr char kReadOutSavedMessage[] = "\nProzessor-Programm gespeichert \n";

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

std::string FormatReplaceQuestion(const std::string& name) {
  return kReplaceQuestionStart + name + kReplaceQuestionEnd;
}

}  // namespace

int MainDialog::CheckDemoThenBusy() {
  if (demo_mode_) {
    runtime_.services().ShowDemoMessage();
    return kCommandDemoMode;
  }
  if (BusyWindowExists())
    return kCommandBusy;
  return kCommandOk;
}

bool MainDialog::LinkLost() {
  return runtime_.port_link().link_lost();
}

int MainDialog::WorkFrame(const std::function<int()>& work, bool changes_chip) {
  PortLink& link = runtime_.port_link();
  DisableCommandControls();
  // A reconnected adapter gets its chance with every command; its loss is
  // told once per command.
  link.ClearLinkLost();
  link.RaisePriority(runtime_.os_kind());
  chip_state_kept_ = false;
  int result = work();
  link.RestorePriority();
  if (link.link_lost())
    result = kHandshakeTimeout;
  // A failed or stopped run changed the chip too (an erase at least).
  if (changes_chip && !chip_state_kept_) {
    const int saved = runtime_.SaveSimulatorState();
    if (result == kCommandOk)
      result = saved;
  }
  EnableCommandControls();
  return result;
}

int MainDialog::KeepChipState() {
  chip_state_kept_ = true;
  return runtime_.SaveSimulatorState();
}

int MainDialog::DeviceCommand(const std::function<int()>& work, bool changes_chip) {
  CreateBusyWindow();
  int result = runtime_.LoadDeviceForCommand();
  if (result == kLibraryOk)
    result = WorkFrame(work, changes_chip);
  CommonEnd();
  return result;
}

int MainDialog::BlankCheckCommand() {
  const int result = CheckDemoThenBusy();
  if (result != kCommandOk)
    return result;
  return DeviceCommand([this] { return runtime_.operations().BlankCheck(); },
                       /*changes_chip=*/false);
}

int MainDialog::EraseCommand() {
  const int result = CheckDemoThenBusy();
  if (result != kCommandOk)
    return result;
  return DeviceCommand(
      [this] {
        DeviceOperations& operations = runtime_.operations();
        // A declined erase returns non-zero, so nothing is checked then.
        int erased = operations.EraseDevice();
        // The blank check's "erased" is the success message: the chip is kept first.
        if (erased == kOperationOk && !LinkLost())
          erased = KeepChipState();
        if (erased == kOperationOk)
          erased = operations.BlankCheck();
        return erased;
      },
      /*changes_chip=*/true);
}

int MainDialog::ProgramCommand() {
  return FileCommand(true);
}

int MainDialog::VerifyCommand() {
  return FileCommand(false);
}

int MainDialog::FileCommand(bool program) {
  if (BusyWindowExists())
    return kCommandBusy;
  Settings& settings = runtime_.settings();
  int result = kCommandOk;
  // In demo mode without a file the open dialog still comes first.
  if (settings.data_file_name.empty())
    result = ChooseDataFile();
  if (demo_mode_) {
    runtime_.services().ShowDemoMessage();
    return kCommandDemoMode;
  }
  eeprom_path_ = EepromPathFor(settings.data_file_path);
  if (result != kCommandOk) {
    // The file question was cancelled: only the busy window and the common end.
    CreateBusyWindow();
    CommonEnd();
    return result;
  }
  return DeviceCommand([this, program] { return ProgramOrVerify(program); }, program);
}

int MainDialog::ProgramOrVerify(bool program) {
  const Settings& settings = runtime_.settings();
  DeviceOperations& operations = runtime_.operations();
  DataFiles& files = runtime_.data_files();
  const DataFileOptions options = runtime_.data_file_options();
  const bool verify = !program || settings.Verify > 0;

  // One memory: load its file, program it, compare it.
  auto run = [&](const std::string& path, MemoryKind kind) {
    int result = files.LoadDataFile(path, kind, options);
    if (result == kLoadOk && program)
      result = operations.ProgramMemory(kind);
    if (result == kOperationOk && verify)
      result = operations.VerifyMemory(kind);
    return result;
  };

  const int code = run(settings.data_file_path, kCodeMemory);
  if (LinkLost())
    return kHandshakeTimeout;
  // The EEPROM runs whatever became of the code memory. After a click on
  // "Abbrechen" the flag is still set, so it stops after its first byte.
  int eeprom = kOperationOk;
  if (runtime_.device().eeprom_size > 0)
    eeprom = run(eeprom_path_, kEepromMemory);
  if (LinkLost())
    return kHandshakeTimeout;
  if (code != kOperationOk)
    return code;
  if (eeprom != kOperationOk)
    return eeprom;

  Services& services = runtime_.services();
  if (!program) {
    services.ShowMessage(kVerifyOkMessage);
    return kCommandOk;
  }
  if (settings.Lock1 > 0 || settings.Lock2 > 0 || settings.Lock3 > 0) {
    // The settings decide, even when the device's lock-bit count has
    // disabled the boxes.
    const int locked = operations.ProgramLockBits({settings.Lock1, settings.Lock2, settings.Lock3});
    operations.protocol().LeaveProgrammingMode();
    if (locked != kOperationOk || LinkLost())
      return locked;
    if (const int kept = KeepChipState(); kept != kCommandOk)
      return kept;
    services.ShowMessage(kProgramLockedMessage);
    return kCommandOk;
  }
  if (const int kept = KeepChipState(); kept != kCommandOk)
    return kept;
  services.ShowMessage(kProgramOkMessage);
  return kCommandOk;
}

int MainDialog::ChooseDataFile() {
  Settings& settings = runtime_.settings();
  const FileDialogResult chosen = view_.RunOpenDialog(OpenDataFileRequest(settings));
  if (!chosen.accepted)
    return kCommandDialogCancelled;
  settings.ReadFilter = chosen.filter;
  SetCurrentDataFile(NamesFromDialog(chosen.path, chosen.file_name));
  return kCommandOk;
}

void MainDialog::SetCurrentDataFile(const DataFileNames& names) {
  Settings& settings = runtime_.settings();
  settings.data_file_path = names.path;
  settings.data_file_name = names.name;
  settings.data_directory = names.directory;
  eeprom_path_ = names.eeprom_path;
  view_.SetFileNameText(names.name);
}

int MainDialog::ReadOutCommand() {
  Settings& settings = runtime_.settings();
  Services& services = runtime_.services();
  if (demo_mode_) {
    services.ShowDemoMessage();
    return kCommandDemoMode;
  }
  const FileDialogRequest request = SaveDataFileRequest(settings);
  if (BusyWindowExists())
    return kCommandBusy;
  CreateBusyWindow();

  int result = kCommandDialogCancelled;
  const FileDialogResult chosen = view_.RunSaveDialog(request);
  if (chosen.accepted) {
    const ReadOutTarget target =
        ReadOutTargetFromDialog(chosen.path, chosen.file_name, chosen.filter);
    // The dialog asked about the name it was given; a file that the
    // extension rule puts in its place is not replaced unasked.
    const bool renamed = target.names.path != chosen.path;
    if (!renamed || !FileExists(target.names.path) ||
        services.AskOkCancel(FormatReplaceQuestion(target.names.name)) == kIdOk) {
      settings.DataFormat = target.data_format;
      SetCurrentDataFile(target.names);
      view_.Repaint();
      result = runtime_.LoadDeviceForCommand();
      if (result == kLibraryOk)
        result = WorkFrame([this] { return SaveReadOut(); }, /*changes_chip=*/false);
    }
  }
  CommonEnd();
  return result;
}

int MainDialog::SaveReadOut() {
  const Settings& settings = runtime_.settings();
  DataFiles& files = runtime_.data_files();
  Services& services = runtime_.services();
  const DataFileOptions options = runtime_.data_file_options();
  const bool eeprom = runtime_.device().eeprom_size > 0;
  std::vector<std::string> targets = {settings.data_file_path};
  if (eeprom)
    targets.push_back(eeprom_path_);
  for (const std::string& target : targets) {
    if (runtime_.IsSimulatorStateFile(target)) {
      std::string text(std::strlen(kReadOutIsSimStateFormat) + target.size(), '\0');
      text.resize(static_cast<size_t>(
          std::snprintf(text.data(), text.size(), kReadOutIsSimStateFormat, target.c_str())));
      services.ShowMessage(text);
      return kSaveFailed;
    }
  }

  // Code and EEPROM files are written together at the end, or neither is:
  // a new code file beside an old EEPROM file would pass for one read-out.
  std::vector<std::pair<std::string, std::string>> pending;
  const FileWriter writer = files.file_writer();
  files.SetFileWriter([&pending](const std::string& path, std::string_view contents) {
    pending.emplace_back(path, std::string(contents));
    return 0;
  });
  int result =
      files.SaveMemoryToFile(settings.data_file_path, kCodeMemory, options, runtime_.readout());
  if (result == kSaveOk && !LinkLost() && eeprom) {
    // The EEPROM goes into the companion file, in the same format.
    result = files.SaveMemoryToFile(eeprom_path_, kEepromMemory, options, runtime_.readout());
  }
  files.SetFileWriter(writer);
  // An empty socket answered nothing: its message was shown, nothing is saved.
  if (result != kSaveOk && runtime_.operations().protocol().sync_failed())
    return kSyncFailed;
  if (result != kSaveOk || LinkLost())
    return result;
  std::string failed_path;
  if (const int error = WriteFilesAtomically(pending, &failed_path); error != 0) {
    ReportFileError(services, failed_path, error);
    return kSaveFailed;
  }
  services.ShowMessage(kReadOutSavedMessage);
  return result;
}

}  // namespace zivivar
