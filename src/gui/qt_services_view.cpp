#include "gui/qt_services_view.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include "gui/main_window.h"

namespace zivivar {

void ConfigureMessageBox(QMessageBox& box, MessageKind kind, const std::string& caption,
                         const std::string& text) {
  box.setObjectName(QStringLiteral("messageBox"));
  box.setWindowTitle(QString::fromStdString(caption));
  // The texts hold their own line breaks and nothing else.
  box.setTextFormat(Qt::PlainText);
  box.setText(QString::fromStdString(text));
  switch (kind) {
    case MessageKind::kOk:
      box.setIcon(QMessageBox::Information);
      box.setStandardButtons(QMessageBox::Ok);
      box.setDefaultButton(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
    case MessageKind::kRetryCancel:
      box.setIcon(QMessageBox::Information);
      box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Retry);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case MessageKind::kOkCancel:
      box.setIcon(QMessageBox::Information);
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case MessageKind::kPlain:
      box.setIcon(QMessageBox::NoIcon);
      box.setStandardButtons(QMessageBox::Ok);
      box.setDefaultButton(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
  }
}

int MessageBoxResult(MessageKind kind, int standard_button) {
  switch (kind) {
    case MessageKind::kOk:
    case MessageKind::kPlain:
      return kIdOk;
    case MessageKind::kRetryCancel:
      return standard_button == QMessageBox::Retry ? kIdRetry : kIdCancel;
    case MessageKind::kOkCancel:
      return standard_button == QMessageBox::Ok ? kIdOk : kIdCancel;
  }
  return kIdCancel;
}

QtServicesView::QtServicesView(MainWindow& window) : m_window(window) {}

int QtServicesView::ShowMessageBox(MessageKind kind, const std::string& caption,
                                   const std::string& text) {
  QMessageBox box(&m_window);
  ConfigureMessageBox(box, kind, caption, text);
  return MessageBoxResult(kind, box.exec());
}

void QtServicesView::Beep() {
  QApplication::beep();
}

void QtServicesView::SetStatusText(const std::string& text) {
  m_window.statusLine()->setText(QString::fromStdString(text));
}

void QtServicesView::Repaint() {
  // Paints now: a long operation keeps the event loop away until its first step.
  m_window.repaint();
}

void QtServicesView::SetProgressRange(uint32_t upper) {
  // A bar whose range is empty would turn into a busy indicator here; one of
  // 0..1 at position 0 shows the same empty bar as the range 0..0.
  m_window.progressBar()->setRange(0, upper == 0 ? 1 : static_cast<int>(upper));
}

void QtServicesView::SetProgressPosition(uint32_t position) {
  m_window.progressBar()->setValue(static_cast<int>(position));
}

void QtServicesView::ProcessPendingEvents() {
  // Handles what has arrived and returns; never waits for more.
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtServicesView::SetCancelEnabled(bool enabled) {
  m_window.cancelButton()->setEnabled(enabled);
}

}  // namespace zivivar
