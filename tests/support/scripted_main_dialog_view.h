// A MainDialogView for tests: file and preferences dialogs answer from
// queues, and every control change, list fill, busy window and window move is
// recorded, in order, in log as well as in the current-state members.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "ui/main_dialog_view.h"

namespace zivivar::testing {

class ScriptedMainDialogView : public MainDialogView {
 public:
  // Every control starts enabled and unchecked, as a window fresh from its
  // template; the window rectangle is (0, 0, 400, 300).
  ScriptedMainDialogView();

  // Answers for the next file dialogs, in order. Without a queued answer a
  // file dialog is cancelled; the preferences dialog is always left with
  // "Abbrechen".
  void QueueOpenDialog(const FileDialogResult& result) { open_answers_.push_back(result); }
  void QueueSaveDialog(const FileDialogResult& result) { save_answers_.push_back(result); }

  void EnableControl(Control control, bool enabled) override;
  bool IsControlEnabled(Control control) const override;
  void SetChecked(Control control, bool checked) override;
  bool IsChecked(Control control) const override;
  void SetFileNameText(const std::string& text) override;
  void FillList(Control list, const std::vector<ListEntry>& entries, int selection) override;
  int ListSelection(Control list) const override;
  uint32_t ListItemData(Control list, int index) const override;
  void CreateBusyWindow(int x, int y) override;
  void DestroyBusyWindow() override;
  FileDialogResult RunOpenDialog(const FileDialogRequest& request) override;
  FileDialogResult RunSaveDialog(const FileDialogRequest& request) override;
  bool RunPreferencesDialog() override;
  WindowRect GetWindowRect() const override { return rect; }
  void MoveWindow(const WindowRect& r) override;
  void Repaint() override {}

  // Texts of the entries of a list.
  std::vector<std::string> ListTexts(Control list) const;
  // Log lines that start with prefix.
  std::vector<std::string> LogLines(const std::string& prefix) const;

  // Current state.
  std::map<Control, bool> enabled;
  std::map<Control, bool> checked;
  std::map<Control, std::vector<ListEntry>> lists;
  std::map<Control, int> selections;
  std::string file_name_text;
  bool busy_window_shown = false;
  WindowRect rect{0, 0, 400, 300};

  // History. Log lines: "enable <id>", "disable <id>", "check <id>",
  // "uncheck <id>", "file <text>", "list <id> <count> <selection>",
  // "busy <x>,<y>", "busy gone", "open dialog", "save dialog", "prefs",
  // "move <x>,<y> <w>x<h>".
  std::vector<std::string> log;
  std::vector<FileDialogRequest> open_requests;
  std::vector<FileDialogRequest> save_requests;
  int preferences_runs = 0;

 private:
  std::deque<FileDialogResult> open_answers_;
  std::deque<FileDialogResult> save_answers_;
};

}  // namespace zivivar::testing
