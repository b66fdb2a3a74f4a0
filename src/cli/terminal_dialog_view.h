// The main window as the command line sees it: there is no window, so the
// controls are plain state, and the file dialogs are answered by the
// command's file argument (and, for the save dialog, by --format).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ui/main_dialog_view.h"

namespace zivivar {

class TerminalDialogView : public MainDialogView {
 public:
  // The answer to the next open dialog: path as typed, or "" to cancel it.
  void AnswerOpenDialog(const std::string& path) { open_path_ = path; }
  // The answer to the next save dialog: path as typed and the chosen filter
  // position (DataFormat + 1); "" cancels it.
  void AnswerSaveDialog(const std::string& path, int filter) {
    save_path_ = path;
    save_filter_ = filter;
  }

  void EnableControl(Control control, bool enabled) override { enabled_[control] = enabled; }
  bool IsControlEnabled(Control control) const override;
  void SetChecked(Control control, bool checked) override { checked_[control] = checked; }
  bool IsChecked(Control control) const override;
  void SetFileNameText(const std::string& text) override { file_name_ = text; }
  void FillList(Control list, const std::vector<ListEntry>& entries, int selection) override;
  int ListSelection(Control list) const override;
  uint32_t ListItemData(Control list, int index) const override;
  void CreateBusyWindow(int /*x*/, int /*y*/) override { busy_ = true; }
  void DestroyBusyWindow() override { busy_ = false; }
  FileDialogResult RunOpenDialog(const FileDialogRequest& request) override;
  // Replaces an existing file without asking: naming it on the command line
  // is the confirmation.
  FileDialogResult RunSaveDialog(const FileDialogRequest& request) override;
  // There is no preferences dialog on the command line: always "Abbrechen".
  bool RunPreferencesDialog() override { return false; }
  WindowRect GetWindowRect() const override { return rect_; }
  void MoveWindow(const WindowRect& rect) override { rect_ = rect; }
  void Repaint() override {}

  const std::string& file_name() const { return file_name_; }
  bool busy() const { return busy_; }

 private:
  struct List {
    std::vector<ListEntry> entries;
    int selection = -1;
  };

  std::map<Control, bool> enabled_;
  std::map<Control, bool> checked_;
  std::map<Control, List> lists_;
  std::string file_name_;
  bool busy_ = false;
  WindowRect rect_;
  std::string open_path_;
  std::string save_path_;
  int save_filter_ = 1;
};

}  // namespace zivivar
