// The hex view: the image buffer as the last load or read-out left it, as a
// hex and ASCII dump with the filled range marked. It can write what it shows
// to a file in any of the data formats.
#pragma once

#include <QDialog>

#include "commands/command_result.h"
#include "ui/hex_dump.h"

class QLabel;
class QPlainTextEdit;

namespace zivivar {

class Runtime;

class HexViewWindow : public QDialog {
  Q_OBJECT

 public:
  // A window of its own over parent, not modal. Shows the runtime's image
  // buffer from address 0 up to the larger of the device's code memory and
  // range's end; range is marked. title says what the buffer holds.
  // runtime must outlive the window.
  HexViewWindow(Runtime& runtime, HexDumpRange range, const QString& title, QWidget* parent);

  QString headerText() const;
  QPlainTextEdit* dump() const { return m_dump; }

  // Asks for a file and a format (the read-out's save dialog) and writes the
  // shown memory there: kOk, kFileNotSaved, or kCancelled.
  CommandResult Save();

 private:
  Runtime& m_runtime;
  QLabel* m_header;
  QPlainTextEdit* m_dump;
};

}  // namespace zivivar
