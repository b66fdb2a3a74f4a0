// A MainDialogView for tests: file dialogs answer from queues, and the
// controls, lists, busy window and window place keep their current state.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "ui/main_dialog_view.h"

namespace zivivar::testing {

class ScriptedMainDialogView : public MainDialogView {
 public:
  // Answers for the next file dialogs, in order. Without a queued answer a
  // file dialog is cancelled; the preferences dialog is always left with
  // "Abbrechen".
  void QueueOpenDialog(const FileDialogResult& result) { open_answers_.push_back(result); }
  void QueueSaveDialog(const FileDialogResult& result) { save_answers_.push_back(result); }

  // Every control starts enabled and unchecked, as a window fresh from its template.
  void EnableControl(Control control, bool on) override { disabled[control] = !on; }
  bool IsControlEnabled(Control control) const override { return !Get(disabled, control); }
  void SetChecked(Control control, bool on) override { checked[control] = on; }
  bool IsChecked(Control control) const override { return Get(checked, control); }
  void SetFileNameText(const std::string& text) override { file_name_text = text; }
  void FillList(Control list, const std::vector<ListEntry>& entries, int selection) override;
  int ListSelection(Control list) const override;
  uint32_t ListItemData(Control list, int index) const override;
  void CreateBusyWindow(int, int) override { busy_window_shown = true; }
  void DestroyBusyWindow() override { busy_window_shown = false; }
  FileDialogResult RunOpenDialog(const FileDialogRequest& request) override;
  FileDialogResult RunSaveDialog(const FileDialogRequest& request) override;
  bool RunPreferencesDialog() override;
  WindowRect GetWindowRect() const override { return rect; }
  void MoveWindow(const WindowRect& r) override { rect = r; }
  void Repaint() override {}

  // Texts of the entries of a list.
  std::vector<std::string> ListTexts(Control list) const;

  // Current state.
  std::map<Control, bool> disabled;
  std::map<Control, bool> checked;
  std::map<Control, std::vector<ListEntry>> lists;
  std::map<Control, int> selections;
  std::string file_name_text;
  bool busy_window_shown = false;
  WindowRect rect{0, 0, 400, 300};

  // History.
  std::vector<FileDialogRequest> open_requests;
  std::vector<FileDialogRequest> save_requests;
  int preferences_runs = 0;

 private:
  static bool Get(const std::map<Control, bool>& states, Control control) {
    const auto it = states.find(control);
    return it != states.end() && it->second;
  }
  std::deque<FileDialogResult> open_answers_;
  std::deque<FileDialogResult> save_answers_;
};

}  // namespace zivivar::testing
