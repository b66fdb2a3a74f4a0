// The small windows of the chip picture's context menu besides the hex view:
// the operation log and the About box.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace zivivar {

class Runtime;

// A window over parent, not modal, that shows the log file at log_path (its
// last lines, the newest at the bottom) or says that there is none yet.
QDialog* OpenOperationLogWindow(const QString& log_path, QWidget* parent);

// The About box's text: version, licence, the Qt version run and built
// with, and where the settings file, the device library and the log are.
QString AboutText(Runtime& runtime, const QString& log_path);
// Shows AboutText in a modal box over parent.
void ShowAboutBox(Runtime& runtime, const QString& log_path, QWidget* parent);

}  // namespace zivivar
