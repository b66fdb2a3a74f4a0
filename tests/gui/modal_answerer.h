// Answers the modal boxes and dialogs that the window opens, as a user would:
// a timer looks for the active modal widget and records it. A message box
// gets its escape button (OK for an information box, cancel for a
// question); any other dialog goes to the handler queued for it.
#pragma once

#include <QList>
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
};

class ModalAnswerer : public QObject {
  Q_OBJECT

 public:
  explicit ModalAnswerer(QObject* parent = nullptr);

  // Handles the next modal widget that is not a message box (a file dialog,
  // the preferences dialog); the handler must close it.
  void QueueDialog(std::function<void(QDialog&)> handler) { m_dialogs.enqueue(std::move(handler)); }
  // Runs when a message box appears, before it is answered.
  void OnBox(std::function<void()> hook) { m_onBox = std::move(hook); }

  // Texts of the message boxes seen so far.
  QStringList Texts() const;
  QList<SeenBox> boxes;
  int dialogs_seen = 0;

 private:
  void Poll();

  QTimer m_timer;
  QQueue<std::function<void(QDialog&)>> m_dialogs;
  std::function<void()> m_onBox;
  QPointer<QWidget> m_last;
};

}  // namespace zivivar::testing
