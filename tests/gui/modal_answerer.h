// Answers the modal boxes and dialogs that the window opens, as a user would:
// a timer looks for the active modal widget, records it and clicks the answer
// queued for it. Message boxes without a queued answer get their escape
// button (OK for an information box, cancel for a question).
#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class QDialog;

namespace zivivar::testing {

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;  // texts of the buttons, in the box's order
};

class ModalAnswerer : public QObject {
  Q_OBJECT

 public:
  explicit ModalAnswerer(QObject* parent = nullptr);

  // The answer to the next message box.
  void QueueButton(QMessageBox::StandardButton button) { m_buttons.enqueue(button); }
  // Handles the next modal widget that is not a message box (a file dialog,
  // the preferences dialog); the handler must close it or leave it for later.
  void QueueDialog(std::function<void(QDialog&)> handler) { m_dialogs.enqueue(std::move(handler)); }

  // Runs when a message box appears, before it is answered.
  void OnBox(std::function<void(const SeenBox&)> hook) { m_onBox = std::move(hook); }

  // Texts of the message boxes seen so far.
  QStringList Texts() const;
  QList<SeenBox> boxes;
  int dialogs_seen = 0;

 private:
  void Poll();

  QTimer m_timer;
  QQueue<QMessageBox::StandardButton> m_buttons;
  QQueue<std::function<void(QDialog&)>> m_dialogs;
  std::function<void(const SeenBox&)> m_onBox;
  QPointer<QWidget> m_last;
};

// Runs events until condition holds or timeout_ms passes; returns condition().
bool WaitFor(const std::function<bool()>& condition, int timeout_ms = 5000);

}  // namespace zivivar::testing
