// MainDialog: the main window's logic without a toolkit. The window (Qt, the
// terminal front end, the tests) implements MainDialogView, forwards its
// events to the On... methods and shows what the logic tells it. Everything
// runs on one thread; a device command runs to its end inside its handler,
// and the events that arrive meanwhile reach the logic only through the
// services' event pumping.
#pragma once

#include <functional>
#include <string>

#include "ui/data_file_naming.h"
#include "ui/main_dialog_view.h"

namespace zivivar {

class Runtime;
struct SelectionList;

// Results of the command methods, for scripts and exit codes. Besides these,
// a command returns the first non-zero result of the step that failed: 3 the
// data file could not be loaded (or the file dialog was cancelled), 4 a save
// failed (or the blank check found data), 5 the blank check was stopped,
// 6 verify, 7 program, 10 the adapter stopped answering, 13 the device could
// not be loaded, 15 the lock bits had no effect, 20 the erase was declined.
// The window ignores them: every failure has been told to the user already.
inline constexpr int kCommandOk = 0;
inline constexpr int kCommandDialogCancelled = 3;
inline constexpr int kCommandDemoMode = 21;  // refused with the demo message
inline constexpr int kCommandBusy = 22;      // refused silently: a command is running

inline constexpr char kEndMessage[] = "Baustein jetzt unbedingt\naus dem Sockel nehmen !!!";
// Asked when the read-out's extension rule turns the name confirmed in the
// save dialog into the name of another file that exists; the text is the
// question's start, followed by the file name and kReplaceQuestionEnd.
inline constexpr char kReplaceQuestionStart[] = "Die Datei\n";
inline constexpr char kReplaceQuestionEnd[] = "\nexistiert bereits.\n\nSoll sie ersetzt werden ?";

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

  // The command flows. Each returns kCommandOk or its first failing result.
  int BlankCheckCommand();
  int EraseCommand();
  int ProgramCommand();
  int VerifyCommand();
  int ReadOutCommand();
  // Open dialog for the data file: 0 when a file was chosen, 3 when cancelled.
  int ChooseDataFile();
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
  // The companion file of the current data file for the EEPROM.
  const std::string& eeprom_path() const { return eeprom_path_; }

 private:
  void CreateBusyWindow();
  void DestroyBusyWindow();
  // Cancel button off, cancel flag cleared, idle status, busy window gone.
  void CommonEnd();
  // The guards shared by the device commands; kCommandOk when the command may go on.
  int CheckDemoThenBusy();
  // Shows the selection's list in the view's list control.
  void ShowList(Control list, const SelectionList& contents);
  // Refills the device list for ManufIndex, then UpdateDeviceControls.
  void FillDeviceList();
  // Disable, raise the priority, work, restore, enable. The result is the
  // work's, or kHandshakeTimeout when the adapter stopped answering. Work
  // that changes the chip (changes_chip) has the simulated chip saved at its
  // end unless it saved it already (KeepChipState); a failed save turns a
  // success into kSimStateNotSaved. Other work never rewrites the state file.
  int WorkFrame(const std::function<int()>& work, bool changes_chip);
  // Busy window, a fresh device descriptor, the work frame around work, the
  // common end.
  int DeviceCommand(const std::function<int()>& work, bool changes_chip);
  // Saves the simulated chip now, before a success message that must not
  // appear when the chip cannot be kept: 0 or kSimStateNotSaved.
  int KeepChipState();
  bool LinkLost();
  void SetCurrentDataFile(const DataFileNames& names);
  // Program or verify work on the code memory, then the EEPROM.
  // The frame of "Brennen" and "Prüfen": file question, guards, busy window.
  int FileCommand(bool program);
  int ProgramOrVerify(bool program);
  int SaveReadOut();

  Runtime& runtime_;
  MainDialogView& view_;
  bool demo_mode_ = false;
  bool busy_window_ = false;
  WindowRect initial_rect_;
  int previous_x_ = 0;
  int previous_y_ = 0;
  std::string eeprom_path_;
  // The running work frame's chip was saved by KeepChipState.
  bool chip_state_kept_ = false;
};

}  // namespace zivivar
