#include "support/scripted_main_dialog_view.h"

namespace zivivar::testing {

void ScriptedMainDialogView::FillList(Control list, const std::vector<ListEntry>& entries,
                                      int selection) {
  lists[list] = entries;
  selections[list] = selection;
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

static FileDialogResult Next(std::deque<FileDialogResult>& answers) {
  if (answers.empty())
    return FileDialogResult{};
  FileDialogResult result = answers.front();
  answers.pop_front();
  return result;
}

FileDialogResult ScriptedMainDialogView::RunOpenDialog(const FileDialogRequest& request) {
  open_requests.push_back(request);
  return Next(open_answers_);
}

FileDialogResult ScriptedMainDialogView::RunSaveDialog(const FileDialogRequest& request) {
  save_requests.push_back(request);
  return Next(save_answers_);
}

bool ScriptedMainDialogView::RunPreferencesDialog() {
  ++preferences_runs;
  return false;
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

}  // namespace zivivar::testing
