// The window's controls and its side of the view interface, without the logic,
// and the Qt side of the services: the message boxes as the user sees and
// answers them, and the bar.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "gui/busy_window.h"
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
  void EnterProgramsExceptInTheLists();
  void BusyWindowAndFramesCoverNoControl_data();
  void BusyWindowAndFramesCoverNoControl();
  void CaptionsFitTheirControls();
  void EveryButtonGivesItsResult_data();
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

void MainWindowTest::EnterProgramsExceptInTheLists() {
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
  QCOMPARE(programs.count(), 0);

  // Elsewhere Enter is "Brennen", the default button.
  QWidget* box = window.control(Control::kVerifyBox);
  box->setFocus();
  QTest::keyClick(box, Qt::Key_Return);
  QCOMPARE(programs.count(), 1);
}

void MainWindowTest::BusyWindowAndFramesCoverNoControl_data() {
  QTest::addColumn<int>("point_size");
  QTest::newRow("8 pt") << 8;
  QTest::newRow("11 pt") << 11;
  QTest::newRow("16 pt") << 16;
}

void MainWindowTest::BusyWindowAndFramesCoverNoControl() {
  // The test runs at scale factors 1 and 2 (QT_SCALE_FACTOR), each at three fonts.
  QFETCH(int, point_size);
  const QFont before = QApplication::font();
  QFont font = before;
  font.setPointSize(point_size);
  QApplication::setFont(font);
  MainWindow window;
  QApplication::setFont(before);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  auto global = [](const QWidget* widget) {
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
  };

  window.CreateBusyWindow(0, 0);  // the logic's place is not used
  BusyWindow* busy = window.busyWindow();
  QVERIFY(busy != nullptr && busy->isVisible() && busy->parentWidget() == nullptr);
  QCOMPARE(busy->frameGeometry(), global(window.picture()));
  const QList<QWidget*> children = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (const QWidget* other : children) {
    QVERIFY(other == window.picture() || !busy->frameGeometry().intersects(global(other)));
  }
  window.DestroyBusyWindow();
  QVERIFY(window.busyWindow() == nullptr);

  // Each frame's line lies above its boxes (the style draws it 3 pixels above
  // its contents area), and a frame that grew for them covers no other control.
  for (QGroupBox* frame : window.findChildren<QGroupBox*>()) {
    const QRect inside = frame->geometry() - frame->contentsMargins() + QMargins(0, 2, 0, 0);
    for (QWidget* other : children) {
      const int visible = std::min(other->height(), other->sizeHint().height());
      const QRect shown(other->x(), other->y() + (other->height() - visible) / 2, other->width(),
                        visible);
      if (other != frame && frame->geometry().contains(other->geometry())) {
        QVERIFY2(inside.contains(shown), qPrintable(frame->title()));
      } else if (other != frame) {
        QVERIFY2(!frame->geometry().intersects(other->geometry()), qPrintable(frame->title()));
      }
    }
  }
}

void MainWindowTest::CaptionsFitTheirControls() {
  MainWindow window;
  for (QCheckBox* box : window.findChildren<QCheckBox*>())
    QVERIFY2(box->width() >= box->sizeHint().width(), qPrintable(box->text()));
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    QVERIFY2(button->width() > button->fontMetrics().horizontalAdvance(button->text()),
             qPrintable(button->text()));
  }
}

void MainWindowTest::EveryButtonGivesItsResult_data() {
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

void MainWindowTest::EveryButtonGivesItsResult() {
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
