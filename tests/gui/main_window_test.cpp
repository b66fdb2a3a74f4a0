// The window's controls and its side of the view interface, without the logic.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "gui/busy_window.h"
#include "gui/main_window.h"

namespace zivivar {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void ListsKeepOrderAndSelection();
  void EnterProgramsExceptInTheLists();
  void BusyWindowAndFramesCoverNoControl_data();
  void BusyWindowAndFramesCoverNoControl();
  void CaptionsFitTheirControls();
};

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

}  // namespace zivivar

QTEST_MAIN(zivivar::MainWindowTest)
#include "main_window_test.moc"
