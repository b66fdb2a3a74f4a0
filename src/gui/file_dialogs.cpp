#include "gui/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace zivivar {

namespace {

// "*.bin" -> "*.[bB][iI][nN]": the dialog matches patterns with case on this system.
QString CaseInsensitivePattern(const QString& pattern) {
  if (pattern == QStringLiteral("*.*"))
    return QStringLiteral("*");
  QString result;
  for (const QChar c : pattern) {
    if (c.isLetter() && c.toLower() != c.toUpper()) {
      result += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace

int SelectedFilterPosition(const QFileDialog& dialog, const FileDialogRequest& request) {
  // With the patterns hidden the dialog may report the entry by its shown
  // text alone, so both forms are compared.
  const QString selected = dialog.selectedNameFilter();
  for (size_t i = 0; i < request.filters.size(); ++i) {
    const auto& [text, pattern] = request.filters[i];
    if (selected == FilterEntry(text, pattern) || selected == QString::fromStdString(text)) {
      return static_cast<int>(i) + 1;
    }
  }
  return 1;
}

QString FilterEntry(const std::string& text, const std::string& pattern) {
  return QStringLiteral("%1 (%2)").arg(QString::fromStdString(text),
                                       CaseInsensitivePattern(QString::fromStdString(pattern)));
}

void ConfigureFileDialog(QFileDialog& dialog, FileDialogMode mode,
                         const FileDialogRequest& request) {
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  // The entries show their own patterns in their text; the case-free form is noise.
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  if (mode == FileDialogMode::kOpen) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.file_must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirm_overwrite);
  }

  QStringList filters;
  for (const auto& [text, pattern] : request.filters)
    filters << FilterEntry(text, pattern);
  dialog.setNameFilters(filters);
  if (request.selected_filter >= 1 && request.selected_filter <= filters.size()) {
    dialog.selectNameFilter(filters[request.selected_filter - 1]);
  }

  const QString directory = QString::fromStdString(request.initial_directory);
  if (!directory.isEmpty() && QDir(directory).exists())
    dialog.setDirectory(directory);
  dialog.setDefaultSuffix(QString::fromStdString(request.default_extension));
  if (!request.proposed_name.empty()) {
    dialog.selectFile(QString::fromStdString(request.proposed_name));
  }
}

FileDialogResult RunFileDialog(QWidget* parent, FileDialogMode mode,
                               const FileDialogRequest& request) {
  QFileDialog dialog(parent);
  dialog.setObjectName(mode == FileDialogMode::kOpen ? QStringLiteral("openDialog")
                                                     : QStringLiteral("saveDialog"));
  ConfigureFileDialog(dialog, mode, request);

  FileDialogResult result;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return result;
  const QString path = dialog.selectedFiles().constFirst();
  result.accepted = true;
  result.path = QDir::cleanPath(path).toStdString();
  result.file_name = QFileInfo(path).fileName().toStdString();
  result.filter = SelectedFilterPosition(dialog, request);
  return result;
}

}  // namespace zivivar
