// The program's start as a process: a second copy ends at once and without a
// word while the first is open.
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
  void SecondCopyEndsSilentlyWhileTheFirstIsOpen();
};

void StartupTest::SecondCopyEndsSilentlyWhileTheFirstIsOpen() {
  TempDir dir;
  TempDir locks;
  dir.Write("KORVALNK.INI", "[Hardware]\r\nSimulator=1\r\n");
  dir.Write("VOZ8051.CSV", ":Testmaker;Y\r\nT;DIP40;5000;1000;500000;0;0;0;0;0;0;4096;0;3;4;Y\r\n");
  // Started in the settings directory, with the locks in their own directory.
  auto launch = [&](QProcess& process) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(locks.path()));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QString::fromStdString(dir.path()));
    process.start(QStringLiteral(ZIVIVAR_PROGRAM), QStringList());
  };
  QProcess first;
  launch(first);
  QVERIFY(first.waitForStarted());
  NamedLock open_copy(locks.path(), kMainWindowTitle);
  QDeadlineTimer deadline(20000);
  while (!open_copy.HeldElsewhere() && !deadline.hasExpired())
    QTest::qWait(20);
  QVERIFY2(open_copy.HeldElsewhere(), "the first copy did not claim its instance");

  const std::string settings_before = dir.Read("KORVALNK.INI");
  QProcess second;
  launch(second);
  QVERIFY(second.waitForFinished(20000));
  QCOMPARE(second.exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.exitCode(), 0);
  QCOMPARE(second.readAllStandardOutput() + second.readAllStandardError(), QByteArray());
  QCOMPARE(dir.Read("KORVALNK.INI"), settings_before);
  QCOMPARE(first.state(), QProcess::Running);
  first.kill();
  first.waitForFinished();
}

}  // namespace zivivar

QTEST_GUILESS_MAIN(zivivar::StartupTest)
#include "startup_test.moc"
