// The program's start as a process: a second copy ends at once and without a
// word while the first is open or runs a device command.
#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>

#include "support/temp_dir.h"
#include "ui/process_locks.h"

namespace zivivar {

using testing::TempDir;

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void SecondCopyEndsSilentlyWhileTheFirstIsOpen();
  void CopyEndsSilentlyWhileAnotherRunsACommand();

 private:
  // Starts the program in the settings directory, with the locks in their own directory.
  void Launch(QProcess& process);
  // True when the program ended by itself within timeout_ms, exit code 0, printing nothing.
  static bool EndedSilently(QProcess& process, int timeout_ms);

  std::unique_ptr<TempDir> m_dir;
  std::unique_ptr<TempDir> m_locks;
};

void StartupTest::init() {
  m_dir = std::make_unique<TempDir>();
  m_locks = std::make_unique<TempDir>();
  m_dir->Write("KORVALNK.INI", "[Hardware]\r\nSimulator=1\r\n");
  m_dir->Write("VOZ8051.CSV",
               ":Testmaker;Y\r\nT;DIP40;5000;1000;500000;0;0;0;0;0;0;4096;0;3;4;Y\r\n");
}

void StartupTest::cleanup() {
  m_locks.reset();
  m_dir.reset();
}

void StartupTest::Launch(QProcess& process) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(m_locks->path()));
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(QString::fromStdString(m_dir->path()));
  process.start(QStringLiteral(ZIVIVAR_PROGRAM), QStringList());
}

bool StartupTest::EndedSilently(QProcess& process, int timeout_ms) {
  if (!process.waitForFinished(timeout_ms))
    return false;
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
         process.readAllStandardOutput().isEmpty() && process.readAllStandardError().isEmpty();
}

void StartupTest::SecondCopyEndsSilentlyWhileTheFirstIsOpen() {
  QProcess first;
  Launch(first);
  QVERIFY(first.waitForStarted());
  NamedLock open_copy(m_locks->path(), kMainWindowTitle);
  QDeadlineTimer deadline(20000);
  while (!open_copy.HeldElsewhere() && !deadline.hasExpired())
    QTest::qWait(20);
  QVERIFY2(open_copy.HeldElsewhere(), "the first copy did not claim its instance");

  const std::string settings_before = m_dir->Read("KORVALNK.INI");
  QProcess second;
  Launch(second);
  QVERIFY(EndedSilently(second, 20000));
  QCOMPARE(m_dir->Read("KORVALNK.INI"), settings_before);
  QCOMPARE(first.state(), QProcess::Running);

  first.kill();
  first.waitForFinished();
}

void StartupTest::CopyEndsSilentlyWhileAnotherRunsACommand() {
  // Another copy's device command: its busy lock, without an open window of its own.
  NamedLock busy(m_locks->path(), kBusyWindowTitle);
  QCOMPARE(busy.Acquire(), NamedLock::Result::kAcquired);
  QProcess copy;
  Launch(copy);
  QVERIFY(EndedSilently(copy, 20000));
  NamedLock open_copy(m_locks->path(), kMainWindowTitle);
  QCOMPARE(open_copy.Acquire(), NamedLock::Result::kAcquired);  // the copy never claimed it
}

}  // namespace zivivar

QTEST_GUILESS_MAIN(zivivar::StartupTest)
#include "startup_test.moc"
