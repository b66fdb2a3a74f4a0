// The way a second copy of the window program reaches the first: a local
// socket beside the instance lock. The first copy listens on it; a second
// copy, which ends without a word, connects and asks the first to show its
// window. Nothing polls: the first copy learns of the request from its event loop.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace zivivar {

class InstanceChannel : public QObject {
  Q_OBJECT

 public:
  // lock_directory as from DefaultLockDirectory (ends in '/'); empty: the
  // channel stays closed and AskToShow does nothing.
  explicit InstanceChannel(const std::string& lock_directory, QObject* parent = nullptr);
  ~InstanceChannel() override;

  // The first copy, once it holds the instance lock: listens, replacing a
  // socket file that a crashed copy left. False when it cannot listen.
  bool Listen();
  // A second copy: tells the listening copy to show its window. False when
  // no copy listens.
  bool AskToShow() const;

  const QString& name() const { return m_name; }

 signals:
  // A second copy asked for the window.
  void showRequested();

 private:
  QString m_name;
  QLocalServer* m_server = nullptr;
};

}  // namespace zivivar
