// What the main window must do for the toolkit-free dialog logic (MainDialog)
// and the command flows. The Qt window, the terminal front end and the tests
// each implement it; all rules live on the other side of this interface.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zivivar {

// The window's controls, by their resource identifiers.
enum class Control : int {
  kStatusLine = 1016,
  kProgressBar = 1019,
  kBlankCheckButton = 1000,  // "Leertest"
  kReadOutButton = 1001,     // "Auslesen"
  kProgramButton = 1002,     // "Brennen", the default button
  kVerifyButton = 1003,      // "Prüfen"
  kFileNameField = 1005,
  kNewFileButton = 1006,  // "Neue Datei"
  kPrefsButton = 1007,    // "Prefs"
  kEraseButton = 1014,    // "Löschen"
  kCancelButton = 1017,   // "Abbrechen"; switched through ServicesView::SetCancelEnabled
  kManufacturerList = 1004,
  kDeviceList = 1011,
  kVerifyBox = 1012,    // "Baustein prüfen"
  kFFSaveBox = 1013,    // "Leerzellen speichern"
  kChecksumBox = 1022,  // "Checksummen prüfen"
  kLock1Box = 1015,
  kLock2Box = 1009,
  kLock3Box = 1010,
};

// One entry of the manufacturer or device list.
struct ListEntry {
  std::string text;
  uint32_t item_data = 0;  // the device list: the device's lock-bit count
};

// How an open or save dialog is to be set up.
struct FileDialogRequest {
  std::vector<std::pair<std::string, std::string>> filters;  // text shown, pattern
  int selected_filter = 1;                                   // 1-based
  std::string initial_directory;
  std::string proposed_name;       // save dialog only
  std::string default_extension;   // without the point; added to a name typed without one
  bool file_must_exist = false;    // open dialog
  bool confirm_overwrite = false;  // save dialog
};

struct FileDialogResult {
  bool accepted = false;  // false: cancelled
  std::string path;       // full path
  std::string file_name;  // name with extension
  int filter = 1;         // 1-based position of the chosen filter entry
};

struct WindowRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class MainDialogView {
 public:
  virtual ~MainDialogView() = default;

  virtual void EnableControl(Control control, bool enabled) = 0;
  virtual bool IsControlEnabled(Control control) const = 0;
  virtual void SetChecked(Control control, bool checked) = 0;
  virtual bool IsChecked(Control control) const = 0;
  virtual void SetFileNameText(const std::string& text) = 0;
  // Replaces the list's entries and selects entry selection (-1: none).
  virtual void FillList(Control list, const std::vector<ListEntry>& entries, int selection) = 0;
  virtual int ListSelection(Control list) const = 0;  // -1 when none
  virtual uint32_t ListItemData(Control list, int index) const = 0;

  // The busy window: shown at (x, y) screen pixels while a device command runs.
  virtual void CreateBusyWindow(int x, int y) = 0;
  virtual void DestroyBusyWindow() = 0;

  // Modal file dialogs; block until the user answers.
  virtual FileDialogResult RunOpenDialog(const FileDialogRequest& request) = 0;
  virtual FileDialogResult RunSaveDialog(const FileDialogRequest& request) = 0;
  // The preferences dialog, modal; returns true when the user confirmed
  // (the dialog has then taken the new values into the settings).
  virtual bool RunPreferencesDialog() = 0;

  virtual WindowRect GetWindowRect() const = 0;
  virtual void MoveWindow(const WindowRect& rect) = 0;
  virtual void Repaint() = 0;
};

}  // namespace zivivar
