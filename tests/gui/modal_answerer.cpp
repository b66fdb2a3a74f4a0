#include "modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>

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
    boxes << SeenBox{box->windowTitle(), box->text()};
    if (m_onBox)
      m_onBox();
    QAbstractButton* answer = box->escapeButton();
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

}  // namespace zivivar::testing
