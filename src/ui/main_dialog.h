// MainDialog: the main window's logic without a toolkit. The window (Qt, the
// terminal front end, the tests) implements MainDialogView, forwards its
// events to the On... methods and shows what the logic tells it. Everything
// runs on one thread; a device command runs to its end inside its handler,
// and the events that arrive meanwhile reach the logic only through the
// services' event pumping.
#pragma once

#include <functional>
#include <string>

#include "commands/command_result.h"
#include "ui/data_file_naming.h"
#include "ui/main_dialog_view.h"

namespace zivivar {

class Runtime;
struct CommandContext;
struct DeviceDescriptor;
struct SelectionList;

inline constexpr char kEndMessage[] = "Baustein jetzt unbedingt\naus dem Sockel nehmen !!!";

// What the window reports with a size change.
enum class SizeChange { kRestored, kMinimized, kMaximized };

class MainDialog {
 public:
  // runtime and view must outlive the dialog.
  MainDialog(Runtime& runtime, MainDialogView& view);
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  // The start-up, once the window and its controls exist (title and icon are
  // the window's own business): settings, position, port access, adapter
  // search, option boxes, file name, lists, selected device, cancel button
  // off and cancel flag cleared.
  void Initialize();

  // Button handlers. Each device command runs to its end before it returns.
  void OnBlankCheckClicked() { BlankCheckCommand(); }
  void OnReadOutClicked() { ReadOutCommand(); }
  void OnProgramClicked() { ProgramCommand(); }
  void OnVerifyClicked() { VerifyCommand(); }
  void OnEraseClicked() { EraseCommand(); }
  void OnNewFileClicked() { ChooseDataFile(); }
  void OnPrefsClicked() { EditPreferences(); }
  // "Abbrechen": only sets the cancel flag, which the running operation reads.
  void OnCancelClicked();

  // A lock-bit box (level 1 to 3) was clicked; checked is the state the box
  // toggled itself to. The cascade may check boxes again.
  void OnLockClicked(int level, bool checked);
  void OnVerifyBoxClicked(bool checked);
  void OnFFSaveBoxClicked(bool checked);
  void OnChecksumBoxClicked(bool checked);

  // The user picked entry index of a list (not sent for typed text).
  void OnManufacturerSelected(int index);
  void OnDeviceSelected(int index);

  // The window moved; (x, y) as the toolkit reports the move.
  void OnMoved(int x, int y);
  void OnSizeChanged(SizeChange change);
  // A close request. Returns false while a command runs (the window stays
  // open); otherwise takes the window position into the settings, saves them,
  // shows the end message when wanted and returns true: the window closes.
  bool OnCloseRequest();
  // The keyboard's cancel key: ignored while a command runs, else a close
  // request, so no way of closing loses the settings.
  bool OnCancelKey() { return OnCloseRequest(); }

  // The command flows: the window's guards, busy window and controls around
  // the commands of src/commands. Each returns kOk or its first failing
  // result; the window ignores them, every failure has been told already.
  CommandResult BlankCheckCommand();
  CommandResult EraseCommand();
  CommandResult ProgramCommand();
  CommandResult VerifyCommand();
  CommandResult ReadOutCommand();
  // Open dialog for the data file: kOk when a file was chosen, else kCancelled.
  CommandResult ChooseDataFile();
  // The preferences dialog; a confirmed dialog reconfigures the port link.
  // Returns true when the user confirmed.
  bool EditPreferences();

  // The sixteen input controls, in the system's order ("Abbrechen" untouched).
  void DisableCommandControls();
  void EnableCommandControls();
  // "Löschen" and the lock-bit boxes after the device selected in the list.
  void UpdateDeviceControls();

  bool demo_mode() const { return demo_mode_; }
  // True while this process shows its busy window or another copy holds the
  // busy lock.
  bool BusyWindowExists() const;

 private:
  void CreateBusyWindow();
  void DestroyBusyWindow();
  // Cancel button off, cancel flag cleared, idle status, busy window gone.
  void CommonEnd();
  // The guards shared by the device commands; kOk when the command may go on.
  CommandResult CheckDemoThenBusy();
  // Shows the selection's list in the view's list control.
  void ShowList(Control list, const SelectionList& contents);
  // Refills the device list for ManufIndex, then UpdateDeviceControls.
  void FillDeviceList();
  // Controls off, the command on the device just loaded, controls on.
  CommandResult WithControlsOff(
      const std::function<CommandResult(const CommandContext&, const DeviceDescriptor&)>& command);
  // Busy window, a fresh device descriptor, the command with the controls
  // off, the common end.
  CommandResult DeviceCommand(
      const std::function<CommandResult(const CommandContext&, const DeviceDescriptor&)>& command);
  void SetCurrentDataFile(const DataFileNames& names);
  // The frame of "Brennen" and "Prüfen": file question, guards, busy window.
  CommandResult FileCommand(bool program);

  Runtime& runtime_;
  MainDialogView& view_;
  bool demo_mode_ = false;
  bool busy_window_ = false;
  WindowRect initial_rect_;
  int previous_x_ = 0;
  int previous_y_ = 0;
  // The companion file of the current data file for the EEPROM.
  std::string eeprom_path_;
};

}  // namespace zivivar
