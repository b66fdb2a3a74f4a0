// The Qt side of the services: the message boxes as the user sees and
// answers them, and the bar.
#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui/german_translation.h"
#include "gui/main_window.h"
#include "gui/qt_services_view.h"
#include "services/services.h"

namespace zivivar {

class ServicesViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void EveryButtonGivesItsResult_data();
  void EveryButtonGivesItsResult();
  void EmptyRangeKeepsTheBarStill();
};

void ServicesViewTest::initTestCase() {
  QVERIFY2(InstallGermanTranslation(*QCoreApplication::instance()),
           "the toolkit's German translation (qt6-translations-l10n) is missing");
}

void ServicesViewTest::EveryButtonGivesItsResult_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("buttons");  // sorted, without mnemonics
  QTest::addColumn<bool>("icon");
  QTest::addColumn<int>("button");  // -1: the Escape key, which answers as "Abbrechen"
  QTest::addColumn<int>("result");
  const int retry = static_cast<int>(MessageKind::kRetryCancel);
  const int ok_cancel = static_cast<int>(MessageKind::kOkCancel);
  const QString retry_texts = QStringLiteral("Abbrechen|Wiederholen");
  const QString ok_texts = QStringLiteral("Abbrechen|OK");
  QTest::newRow("retry") << retry << retry_texts << true << int{QMessageBox::Retry} << kIdRetry;
  QTest::newRow("escape a retry") << retry << retry_texts << true << -1 << kIdCancel;
  QTest::newRow("ok") << ok_cancel << ok_texts << true << int{QMessageBox::Ok} << kIdOk;
  QTest::newRow("escape an ok") << ok_cancel << ok_texts << true << -1 << kIdCancel;
  QTest::newRow("escape a message")
      << static_cast<int>(MessageKind::kOk) << QStringLiteral("OK") << true << -1 << kIdOk;
  QTest::newRow("plain") << static_cast<int>(MessageKind::kPlain) << QStringLiteral("OK") << false
                         << -1 << kIdOk;
}

void ServicesViewTest::EveryButtonGivesItsResult() {
  QFETCH(int, kind);
  QFETCH(QString, buttons);
  QFETCH(bool, icon);
  QFETCH(int, button);
  QFETCH(int, result);
  MainWindow window;
  QtServicesView view(window);
  // Answered by hand here, to press keys as well as buttons.
  QString seen;
  QTimer::singleShot(20, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    QStringList shown;
    for (QAbstractButton* each : box->buttons())
      shown << each->text().remove(QLatin1Char('&'));
    shown.sort();
    seen = box->windowTitle() + "|" + box->text() + "|" + shown.join('|') + "|" +
           (box->icon() == QMessageBox::Information ? "i" : "-");
    if (button < 0) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else {
      box->button(static_cast<QMessageBox::StandardButton>(button))->click();
    }
  });
  QCOMPARE(view.ShowMessageBox(static_cast<MessageKind>(kind), "Meldung", "Zeile 1\nZeile 2"),
           result);
  QCOMPARE(seen, QStringLiteral("Meldung|Zeile 1\nZeile 2|") + buttons + (icon ? "|i" : "|-"));
}

void ServicesViewTest::EmptyRangeKeepsTheBarStill() {
  MainWindow window;
  QtServicesView view(window);
  int beap = 0;
  Services services(view, beap);
  QProgressBar* bar = window.progressBar();
  services.ProgressStart(0);
  // An empty range must not turn the bar into a running busy indicator.
  QVERIFY(bar->maximum() > bar->minimum());
  services.ProgressStep();
  QCOMPARE(bar->value(), 0);
}

}  // namespace zivivar

QTEST_MAIN(zivivar::ServicesViewTest)
#include "services_view_test.moc"
