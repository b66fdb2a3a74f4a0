// The window's controls and its side of the view interface, without the logic,
// and the Qt side of the services: the message boxes as the user sees and
// answers them, and the bar.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <tuple>

#include "gui/german_translation.h"
#include "gui/main_window.h"
#include "gui/qt_services_view.h"
#include "services/services.h"

namespace zivivar {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void ListsKeepOrderAndSelection();
  void EnterInAListOnlySelects();
  void EveryButtonGivesItsResult();
  void EmptyRangeKeepsTheBarStill();
};

void MainWindowTest::initTestCase() {
  QVERIFY2(InstallGermanTranslation(*QCoreApplication::instance()),
           "the toolkit's German translation (qt6-translations-l10n) is missing");
}

void MainWindowTest::ListsKeepOrderAndSelection() {
  MainWindow window;
  auto* combo = static_cast<QComboBox*>(window.control(Control::kDeviceList));
  window.FillList(Control::kDeviceList, {{"AT89S8252", 3}, {"AT89S53", 3}, {"AT89S51", 2}}, 2);
  QCOMPARE(combo->itemText(0), QStringLiteral("AT89S8252"));  // not sorted
  QCOMPARE(combo->currentText(), QStringLiteral("AT89S51"));
  QCOMPARE(window.ListItemData(Control::kDeviceList, 2), 2u);
  QCOMPARE(window.ListItemData(Control::kDeviceList, 3), 0u);  // past the end
  window.FillList(Control::kDeviceList, {{"A", 1}}, 7);
  QCOMPARE(combo->count(), 1);
  QCOMPARE(window.ListSelection(Control::kDeviceList), -1);
}

void MainWindowTest::EnterInAListOnlySelects() {
  MainWindow window;
  window.FillList(Control::kDeviceList, {{"AT89S51", 3}, {"AT89S52", 3}}, 0);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QSignalSpy programs(window.control(Control::kProgramButton), SIGNAL(clicked()));
  auto* devices = static_cast<QComboBox*>(window.control(Control::kDeviceList));

  // A name typed into a list and confirmed selects the entry, nothing more.
  devices->lineEdit()->setFocus();
  devices->lineEdit()->setText(QStringLiteral("AT89S52"));
  QTest::keyClick(devices->lineEdit(), Qt::Key_Return);
  QCOMPARE(devices->currentIndex(), 1);
  QCOMPARE(devices->count(), 2);  // typing never adds an entry
  QCOMPARE(programs.count(), 0);  // Enter elsewhere programs: the window test
}

void MainWindowTest::EveryButtonGivesItsResult() {
  // Kind, its buttons (sorted, without mnemonics), the one clicked, its result.
  const std::tuple<MessageKind, QString, QMessageBox::StandardButton, int> cases[] = {
      {MessageKind::kRetryCancel, "Abbrechen|Wiederholen", QMessageBox::Retry, kIdRetry},
      {MessageKind::kRetryCancel, "Abbrechen|Wiederholen", QMessageBox::Cancel, kIdCancel},
      {MessageKind::kOkCancel, "Abbrechen|OK", QMessageBox::Ok, kIdOk},
      {MessageKind::kOkCancel, "Abbrechen|OK", QMessageBox::Cancel, kIdCancel},
      {MessageKind::kOk, "OK", QMessageBox::Ok, kIdOk}};
  MainWindow window;
  QtServicesView view(window);
  for (const auto& [kind, buttons, button, result] : cases) {
    QString seen;
    QTimer::singleShot(20, [&, button = button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      QStringList shown;
      for (QAbstractButton* each : box->buttons())
        shown << each->text().remove(QLatin1Char('&'));
      shown.sort();
      seen = box->windowTitle() + "|" + box->text() + "|" + shown.join('|');
      box->button(button)->click();
    });
    QCOMPARE(view.ShowMessageBox(kind, "Meldung", "Zeile 1\nZeile 2"), result);
    QCOMPARE(seen, QStringLiteral("Meldung|Zeile 1\nZeile 2|") + buttons);
  }
}

void MainWindowTest::EmptyRangeKeepsTheBarStill() {
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

QTEST_MAIN(zivivar::MainWindowTest)
#include "main_window_test.moc"
