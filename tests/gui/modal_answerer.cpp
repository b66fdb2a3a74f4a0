#include "modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>

namespace zivivar::testing {

ModalAnswerer::ModalAnswerer(QObject* parent) : QObject(parent) {
  connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::Poll);
  m_timer.start(5);
}

QStringList ModalAnswerer::Texts() const {
  QStringList texts;
  for (const SeenBox& box : boxes)
    texts << box.text;
  return texts;
}

void ModalAnswerer::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || modal == m_last || !modal->isVisible())
    return;

  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    m_last = modal;
    SeenBox seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* button : box->buttons())
      seen.buttons << button->text();
    boxes << seen;
    if (m_onBox)
      m_onBox(seen);
    QAbstractButton* answer =
        m_buttons.isEmpty() ? box->escapeButton() : box->button(m_buttons.dequeue());
    if (answer == nullptr)
      answer = box->buttons().value(0);
    if (answer != nullptr)
      answer->click();
    return;
  }
  if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    if (m_dialogs.isEmpty())
      return;
    m_last = modal;
    ++dialogs_seen;
    // Called after this poll returns: a handler that opens a nested box
    // (an overwrite question, a range message) needs the timer running.
    QMetaObject::invokeMethod(
        this,
        [handler = m_dialogs.dequeue(), target = QPointer<QDialog>(dialog)] {
          if (target)
            handler(*target);
        },
        Qt::QueuedConnection);
  }
}

bool WaitFor(const std::function<bool()>& condition, int timeout_ms) {
  QDeadlineTimer deadline(timeout_ms);
  while (!condition()) {
    if (deadline.hasExpired())
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

}  // namespace zivivar::testing
