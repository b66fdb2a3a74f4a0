// The command flows behind the buttons of the main window: the guards, the
// busy window and the controls around the commands, the file dialogs that
// gather their arguments, and the common end.
#include "commands/device_commands.h"
#include "config/settings.h"
#include "services/services.h"
#include "ui/file_dialogs.h"
#include "ui/main_dialog.h"
#include "ui/runtime.h"

namespace zivivar {
namespace {

LockOptions LocksFromSettings(const Settings& settings) {
  // The settings decide, even when the device's lock-bit count has disabled
  // the boxes.
  return {settings.Lock1, settings.Lock2, settings.Lock3};
}

}  // namespace

CommandResult MainDialog::CheckDemoThenBusy() {
  if (demo_mode_) {
    runtime_.services().ShowDemoMessage();
    return CommandResult::kDemoMode;
  }
  if (BusyWindowExists())
    return CommandResult::kBusy;
  return CommandResult::kOk;
}

CommandResult MainDialog::WithControlsOff(
    const std::function<CommandResult(const CommandContext&, const DeviceDescriptor&)>& command) {
  DisableCommandControls();
  const DeviceDescriptor device = runtime_.device();
  const CommandResult result = command(runtime_.command_context(), device);
  EnableCommandControls();
  return result;
}

CommandResult MainDialog::DeviceCommand(
    const std::function<CommandResult(const CommandContext&, const DeviceDescriptor&)>& command) {
  CreateBusyWindow();
  CommandResult result = runtime_.LoadDeviceForCommand();
  if (result == CommandResult::kOk)
    result = WithControlsOff(command);
  CommonEnd();
  return result;
}

CommandResult MainDialog::BlankCheckCommand() {
  const CommandResult result = CheckDemoThenBusy();
  if (result != CommandResult::kOk)
    return result;
  return DeviceCommand(BlankCheck);
}

CommandResult MainDialog::EraseCommand() {
  const CommandResult result = CheckDemoThenBusy();
  if (result != CommandResult::kOk)
    return result;
  return DeviceCommand(Erase);
}

CommandResult MainDialog::ProgramCommand() {
  return FileCommand(true);
}

CommandResult MainDialog::VerifyCommand() {
  return FileCommand(false);
}

CommandResult MainDialog::FileCommand(bool program) {
  if (BusyWindowExists())
    return CommandResult::kBusy;
  Settings& settings = runtime_.edit_settings();
  CommandResult result = CommandResult::kOk;
  // In demo mode without a file the open dialog still comes first.
  if (settings.data_file_name.empty())
    result = ChooseDataFile();
  if (demo_mode_) {
    runtime_.services().ShowDemoMessage();
    return CommandResult::kDemoMode;
  }
  eeprom_path_ = EepromPathFor(settings.data_file_path);
  if (result != CommandResult::kOk) {
    // The file question was cancelled: only the busy window and the common end.
    CreateBusyWindow();
    CommonEnd();
    return result;
  }
  return DeviceCommand([this, program](const CommandContext& context,
                                       const DeviceDescriptor& device) {
    Settings& current = runtime_.edit_settings();
    std::optional<std::string> eeprom;
    if (device.eeprom_size > 0)
      eeprom = eeprom_path_;
    FileCommandResult done;
    if (program) {
      done = Program(context, device,
                     {current.data_file_path, eeprom, current.Verify > 0,
                      LocksFromSettings(current), runtime_.data_file_options()});
    } else {
      done =
          Verify(context, device, {current.data_file_path, eeprom, runtime_.data_file_options()});
    }
    // The format recognised on loading becomes the current one, which the
    // read-out's save dialog proposes.
    if (done.data_format)
      current.DataFormat = *done.data_format;
    return done.result;
  });
}

CommandResult MainDialog::ChooseDataFile() {
  Settings& settings = runtime_.edit_settings();
  const FileDialogResult chosen = view_.RunOpenDialog(OpenDataFileRequest(settings));
  if (!chosen.accepted)
    return CommandResult::kCancelled;
  settings.ReadFilter = chosen.filter;
  SetCurrentDataFile(NamesFromDialog(chosen.path, chosen.file_name));
  return CommandResult::kOk;
}

void MainDialog::SetCurrentDataFile(const DataFileNames& names) {
  Settings& settings = runtime_.edit_settings();
  settings.data_file_path = names.path;
  settings.data_file_name = names.name;
  settings.data_directory = names.directory;
  eeprom_path_ = names.eeprom_path;
  view_.SetFileNameText(names.name);
}

CommandResult MainDialog::ReadOutCommand() {
  Settings& settings = runtime_.edit_settings();
  Services& services = runtime_.services();
  if (demo_mode_) {
    services.ShowDemoMessage();
    return CommandResult::kDemoMode;
  }
  const FileDialogRequest request = SaveDataFileRequest(settings);
  if (BusyWindowExists())
    return CommandResult::kBusy;
  CreateBusyWindow();

  CommandResult result = CommandResult::kCancelled;
  const FileDialogResult chosen = view_.RunSaveDialog(request);
  if (chosen.accepted) {
    const ReadOutTarget target =
        ReadOutTargetFromDialog(chosen.path, chosen.file_name, chosen.filter);
    // The dialog asked about the name it was given; a file that the
    // extension rule puts in its place is not replaced unasked.
    if (MayWriteReadOutTarget(chosen.path, target.names, services)) {
      settings.DataFormat = target.data_format;
      SetCurrentDataFile(target.names);
      view_.Repaint();
      result = runtime_.LoadDeviceForCommand();
      if (result == CommandResult::kOk) {
        result =
            WithControlsOff([&](const CommandContext& context, const DeviceDescriptor& device) {
              std::optional<std::string> eeprom;
              if (device.eeprom_size > 0)
                eeprom = eeprom_path_;
              return ReadOut(
                  context, device,
                  {target.names.path, eeprom, target.data_format, runtime_.data_file_options()});
            });
      }
    }
  }
  CommonEnd();
  return result;
}

}  // namespace zivivar
