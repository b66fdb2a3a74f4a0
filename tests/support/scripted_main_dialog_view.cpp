#include "support/scripted_main_dialog_view.h"

namespace zivivar::testing {
namespace {

constexpr Control kAllControls[] = {
    Control::kStatusLine,    Control::kProgressBar,   Control::kBlankCheckButton,
    Control::kReadOutButton, Control::kProgramButton, Control::kVerifyButton,
    Control::kFileNameField, Control::kNewFileButton, Control::kPrefsButton,
    Control::kEraseButton,   Control::kCancelButton,  Control::kManufacturerList,
    Control::kDeviceList,    Control::kVerifyBox,     Control::kFFSaveBox,
    Control::kChecksumBox,   Control::kLock1Box,      Control::kLock2Box,
    Control::kLock3Box,
};

std::string Id(Control control) {
  return std::to_string(static_cast<int>(control));
}

}  // namespace

ScriptedMainDialogView::ScriptedMainDialogView() {
  for (Control control : kAllControls) {
    enabled[control] = true;
    checked[control] = false;
  }
  selections[Control::kManufacturerList] = -1;
  selections[Control::kDeviceList] = -1;
}

void ScriptedMainDialogView::EnableControl(Control control, bool on) {
  enabled[control] = on;
  log.push_back((on ? "enable " : "disable ") + Id(control));
}

bool ScriptedMainDialogView::IsControlEnabled(Control control) const {
  const auto it = enabled.find(control);
  return it != enabled.end() && it->second;
}

void ScriptedMainDialogView::SetChecked(Control control, bool on) {
  checked[control] = on;
  log.push_back((on ? "check " : "uncheck ") + Id(control));
}

bool ScriptedMainDialogView::IsChecked(Control control) const {
  const auto it = checked.find(control);
  return it != checked.end() && it->second;
}

void ScriptedMainDialogView::SetFileNameText(const std::string& text) {
  file_name_text = text;
  log.push_back("file " + text);
}

void ScriptedMainDialogView::FillList(Control list, const std::vector<ListEntry>& entries,
                                      int selection) {
  lists[list] = entries;
  selections[list] = selection;
  log.push_back("list " + Id(list) + " " + std::to_string(entries.size()) + " " +
                std::to_string(selection));
}

int ScriptedMainDialogView::ListSelection(Control list) const {
  const auto it = selections.find(list);
  return it == selections.end() ? -1 : it->second;
}

uint32_t ScriptedMainDialogView::ListItemData(Control list, int index) const {
  const auto it = lists.find(list);
  if (it == lists.end() || index < 0 || static_cast<size_t>(index) >= it->second.size())
    return 0;
  return it->second[static_cast<size_t>(index)].item_data;
}

void ScriptedMainDialogView::CreateBusyWindow(int x, int y) {
  busy_window_shown = true;
  log.push_back("busy " + std::to_string(x) + "," + std::to_string(y));
}

void ScriptedMainDialogView::DestroyBusyWindow() {
  busy_window_shown = false;
  log.push_back("busy gone");
}

static FileDialogResult Next(std::deque<FileDialogResult>& answers) {
  if (answers.empty())
    return FileDialogResult{};
  FileDialogResult result = answers.front();
  answers.pop_front();
  return result;
}

FileDialogResult ScriptedMainDialogView::RunOpenDialog(const FileDialogRequest& request) {
  open_requests.push_back(request);
  log.push_back("open dialog");
  return Next(open_answers_);
}

FileDialogResult ScriptedMainDialogView::RunSaveDialog(const FileDialogRequest& request) {
  save_requests.push_back(request);
  log.push_back("save dialog");
  return Next(save_answers_);
}

bool ScriptedMainDialogView::RunPreferencesDialog() {
  ++preferences_runs;
  log.push_back("prefs");
  return false;
}

void ScriptedMainDialogView::MoveWindow(const WindowRect& r) {
  rect = r;
  log.push_back("move " + std::to_string(r.x) + "," + std::to_string(r.y) + " " +
                std::to_string(r.width) + "x" + std::to_string(r.height));
}

std::vector<std::string> ScriptedMainDialogView::ListTexts(Control list) const {
  std::vector<std::string> texts;
  const auto it = lists.find(list);
  if (it == lists.end())
    return texts;
  for (const ListEntry& entry : it->second)
    texts.push_back(entry.text);
  return texts;
}

std::vector<std::string> ScriptedMainDialogView::LogLines(const std::string& prefix) const {
  std::vector<std::string> lines;
  for (const std::string& line : log) {
    if (line.rfind(prefix, 0) == 0)
      lines.push_back(line);
  }
  return lines;
}

}  // namespace zivivar::testing
