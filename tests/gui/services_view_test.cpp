// The Qt side of the services: the message boxes as the user sees and
// answers them, the status line, the bar, and the event processing that
// carries a click on "Abbrechen" into a running operation.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "gui/german_translation.h"
#include "gui/main_window.h"
#include "gui/qt_services_view.h"
#include "modal_answerer.h"
#include "services/services.h"

namespace zivivar {

using testing::ModalAnswerer;

class ServicesViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void BoxesHaveTheirButtonsInGerman_data();
  void BoxesHaveTheirButtonsInGerman();
  void EveryButtonGivesItsResult_data();
  void EveryButtonGivesItsResult();
  void StatusLineAndBar();
};

void ServicesViewTest::initTestCase() {
  QVERIFY2(InstallGermanTranslation(*QCoreApplication::instance()),
           "the toolkit's German translation (qt6-translations-l10n) is missing");
}

void ServicesViewTest::BoxesHaveTheirButtonsInGerman_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<QStringList>("buttons");
  QTest::addColumn<int>("icon");
  QTest::newRow("ok") << static_cast<int>(MessageKind::kOk) << QStringList{"OK"}
                      << static_cast<int>(QMessageBox::Information);
  QTest::newRow("retry-cancel") << static_cast<int>(MessageKind::kRetryCancel)
                                << QStringList{"Wiederholen", "Abbrechen"}
                                << static_cast<int>(QMessageBox::Information);
  QTest::newRow("ok-cancel") << static_cast<int>(MessageKind::kOkCancel)
                             << QStringList{"OK", "Abbrechen"}
                             << static_cast<int>(QMessageBox::Information);
  QTest::newRow("plain") << static_cast<int>(MessageKind::kPlain) << QStringList{"OK"}
                         << static_cast<int>(QMessageBox::NoIcon);
}

void ServicesViewTest::BoxesHaveTheirButtonsInGerman() {
  QFETCH(int, kind);
  QFETCH(QStringList, buttons);
  QFETCH(int, icon);
  MainWindow window;
  QtServicesView view(window);
  ModalAnswerer answerer;
  view.ShowMessageBox(static_cast<MessageKind>(kind), "Meldung", "Zeile 1\nZeile 2");
  QCOMPARE(answerer.boxes.size(), 1);
  const testing::SeenBox& seen = answerer.boxes.first();
  QCOMPARE(seen.title, QStringLiteral("Meldung"));
  QCOMPARE(seen.text, QStringLiteral("Zeile 1\nZeile 2"));
  QCOMPARE(static_cast<int>(seen.icon), icon);
  QStringList shown = seen.buttons;
  for (QString& text : shown)
    text.remove(QLatin1Char('&'));  // mnemonics
  shown.sort();
  buttons.sort();
  QCOMPARE(shown, buttons);
}

void ServicesViewTest::EveryButtonGivesItsResult_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<int>("button");  // -1: the Escape key
  QTest::addColumn<int>("result");
  const int retry_cancel = static_cast<int>(MessageKind::kRetryCancel);
  const int ok_cancel = static_cast<int>(MessageKind::kOkCancel);
  const int ok = static_cast<int>(MessageKind::kOk);
  QTest::newRow("retry") << retry_cancel << static_cast<int>(QMessageBox::Retry) << kIdRetry;
  QTest::newRow("cancel a retry") << retry_cancel << static_cast<int>(QMessageBox::Cancel)
                                  << kIdCancel;
  QTest::newRow("escape a retry") << retry_cancel << -1 << kIdCancel;
  QTest::newRow("ok") << ok_cancel << static_cast<int>(QMessageBox::Ok) << kIdOk;
  QTest::newRow("cancel an ok") << ok_cancel << static_cast<int>(QMessageBox::Cancel) << kIdCancel;
  QTest::newRow("escape an ok") << ok_cancel << -1 << kIdCancel;
  QTest::newRow("escape a message") << ok << -1 << kIdOk;
}

void ServicesViewTest::EveryButtonGivesItsResult() {
  QFETCH(int, kind);
  QFETCH(int, button);
  QFETCH(int, result);
  MainWindow window;
  QtServicesView view(window);
  // Answered by hand here, to press keys as well as buttons.
  QTimer::singleShot(20, [button] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    if (button < 0) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else {
      box->button(static_cast<QMessageBox::StandardButton>(button))->click();
    }
  });
  QCOMPARE(view.ShowMessageBox(static_cast<MessageKind>(kind), "Meldung", "?"), result);
}

void ServicesViewTest::StatusLineAndBar() {
  MainWindow window;
  QtServicesView view(window);
  int beap = 0;
  Services services(view, beap);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  services.SetStatus("Lese Baustein");
  QCOMPARE(window.statusLine()->text(), QStringLiteral("Lese Baustein"));

  QProgressBar* bar = window.progressBar();
  services.ProgressStart(0);
  // An empty range must not turn the bar into a running busy indicator.
  QVERIFY(bar->maximum() > bar->minimum());
  services.ProgressStep();
  QCOMPARE(bar->value(), 0);

  view.SetCancelEnabled(true);
  QVERIFY(window.cancelButton()->isEnabled());
  view.SetCancelEnabled(false);
  QVERIFY(!window.cancelButton()->isEnabled());
}

}  // namespace zivivar

QTEST_MAIN(zivivar::ServicesViewTest)
#include "services_view_test.moc"
