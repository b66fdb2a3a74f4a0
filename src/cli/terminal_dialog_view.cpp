#include "cli/terminal_dialog_view.h"

#include "common/path_parts.h"

namespace zivivar {
namespace {

// What a file dialog returns for a path typed into it.
FileDialogResult Typed(const std::string& path, const std::string& default_extension, int filter) {
  PathParts parts = SplitPath(path);
  // As the dialog does, a name typed without an extension gets the default one.
  if (parts.extension.empty() && !default_extension.empty())
    parts.extension = "." + default_extension;
  FileDialogResult result;
  result.accepted = true;
  result.path = MakePath(parts);
  result.file_name = MakePath({"", "", parts.name, parts.extension});
  result.filter = filter;
  return result;
}

}  // namespace

bool TerminalDialogView::IsControlEnabled(Control control) const {
  const auto it = enabled_.find(control);
  return it == enabled_.end() || it->second;
}

bool TerminalDialogView::IsChecked(Control control) const {
  const auto it = checked_.find(control);
  return it != checked_.end() && it->second;
}

void TerminalDialogView::FillList(Control list, const std::vector<ListEntry>& entries,
                                  int selection) {
  lists_[list] = {entries, selection};
}

int TerminalDialogView::ListSelection(Control list) const {
  const auto it = lists_.find(list);
  return it == lists_.end() ? -1 : it->second.selection;
}

uint32_t TerminalDialogView::ListItemData(Control list, int index) const {
  const auto it = lists_.find(list);
  if (it == lists_.end() || index < 0 || static_cast<size_t>(index) >= it->second.entries.size())
    return 0;
  return it->second.entries[static_cast<size_t>(index)].item_data;
}

FileDialogResult TerminalDialogView::RunOpenDialog(const FileDialogRequest& request) {
  if (open_path_.empty())
    return {};
  // The filter only narrows what a dialog lists; the one preselected stays.
  return Typed(open_path_, "", request.selected_filter);
}

FileDialogResult TerminalDialogView::RunSaveDialog(const FileDialogRequest& request) {
  if (save_path_.empty())
    return {};
  return Typed(save_path_, request.default_extension, save_filter_);
}

}  // namespace zivivar
