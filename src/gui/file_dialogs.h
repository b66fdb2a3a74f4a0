// The open and save dialogs for data files, set up as the dialog logic asks.
// The toolkit's own dialog (not the desktop's) is used, so that filters,
// default extension and the overwrite question behave the same everywhere.
#pragma once

#include <QString>
#include <QStringList>

#include "ui/main_dialog_view.h"

class QFileDialog;
class QWidget;

namespace zivivar {

enum class FileDialogMode { kOpen, kSave };

// The toolkit's filter string for one entry: the text as shown, and the
// pattern matched without regard to case (data files come as .HEX and .hex
// alike); "*.*" stands for every file, with or without a point.
QString FilterEntry(const std::string& text, const std::string& pattern);

// Sets dialog up as request says, without running it. Split from
// RunFileDialog so the set-up can be checked without a user.
void ConfigureFileDialog(QFileDialog& dialog, FileDialogMode mode,
                         const FileDialogRequest& request);

// 1-based position in request's filter list of the entry chosen in dialog
// (1 when it cannot be told).
int SelectedFilterPosition(const QFileDialog& dialog, const FileDialogRequest& request);

// Runs the dialog modally over parent and returns what the user chose.
FileDialogResult RunFileDialog(QWidget* parent, FileDialogMode mode,
                               const FileDialogRequest& request);

}  // namespace zivivar
