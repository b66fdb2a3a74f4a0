// The window's controls and its side of the view interface, without the logic.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "gui/busy_window.h"
#include "gui/dialog_units.h"
#include "gui/main_window.h"

namespace zivivar {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void DialogUnitsScaleWithTheFont();
  void EveryControlHasItsCaption();
  void WindowIsFixedWithoutMinimiseOrMaximiseAndProgramIsDefault();
  void PicturesAreBuiltIn();
  void ListsKeepOrderItemDataAndSelection();
  void RefillingAListIsNotAUserChoice();
  void EnterProgramsExceptInTheLists();
  void FileNameFieldIsReadOnlyAndShowsTheName();
  void BusyWindowAndFramesCoverNoControl_data();
  void BusyWindowAndFramesCoverNoControl();
  void CaptionsFitTheirControls();
};

void MainWindowTest::DialogUnitsScaleWithTheFont() {
  // The classic 8-point dialog font has base units of 6 x 13 pixels.
  const DialogUnits classic(6, 13);
  QCOMPARE(classic.ToPixels(0, 0, 266, 138).size(), QSize(399, 224));
  // Edges are converted, so neighbours do not drift apart by rounding.
  const QRect left = classic.ToPixels(4, 30, 50, 12);
  const QRect right = classic.ToPixels(54, 30, 50, 12);
  QCOMPARE(left.right() + 1, right.left());

  QFont small = QApplication::font();
  small.setPointSize(8);
  QFont large = small;
  large.setPointSize(16);
  const DialogUnits a(small);
  const DialogUnits b(large);
  QVERIFY(a.baseX() > 0 && a.baseY() > 0);
  QVERIFY(b.baseX() > a.baseX());
  QVERIFY(b.baseY() > a.baseY());
}

void MainWindowTest::EveryControlHasItsCaption() {
  MainWindow window;
  QStringList captions;
  for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    captions << button->text();
  }
  for (QGroupBox* frame : window.findChildren<QGroupBox*>())
    captions << frame->title();
  captions << window.statusLine()->text();
  captions.sort();
  QStringList expected = QString::fromUtf8(
                             "Leertest|Auslesen|Brennen|Prüfen|Neue Datei|Prefs|Löschen|Abbrechen|"
                             "Optionen|Baustein prüfen|Leerzellen speichern|Checksummen prüfen|"
                             "Schutzbits|Lock1|Lock2|Lock3|Warte auf Eingaben")
                             .split(QLatin1Char('|'));
  expected.sort();
  QCOMPARE(captions, expected);
  // Every identifier the logic uses has its control.
  for (Control id : {Control::kStatusLine, Control::kProgressBar, Control::kFileNameField,
                     Control::kManufacturerList, Control::kDeviceList, Control::kCancelButton}) {
    QVERIFY(window.control(id) != nullptr);
  }
  QCOMPARE(window.control(Control::kLock2Box)->property("text").toString(),
           QStringLiteral("Lock2"));
}

void MainWindowTest::WindowIsFixedWithoutMinimiseOrMaximiseAndProgramIsDefault() {
  MainWindow window;
  QCOMPARE(window.windowTitle(), QStringLiteral("8051 VeDedido Zivivar V1.05"));
  QCOMPARE(window.size(), window.units().ToPixels(0, 0, 266, 138).size());
  QCOMPARE(window.minimumSize(), window.maximumSize());
  const Qt::WindowFlags flags = window.windowFlags();
  QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
  QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
  QVERIFY(flags & Qt::WindowCloseButtonHint);
  // A top-level window of its own kind, so that the desktop lists it in the task bar.
  QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
  QVERIFY(!window.windowIcon().isNull());

  int defaults = 0;
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    if (button->isDefault()) {
      ++defaults;
      QCOMPARE(button->text(), QStringLiteral("Brennen"));
    } else {
      QVERIFY2(!button->autoDefault(), qPrintable(button->text()));
    }
  }
  QCOMPARE(defaults, 1);
}

void MainWindowTest::PicturesAreBuiltIn() {
  MainWindow window;
  auto* picture = window.findChild<QLabel*>(QStringLiteral("decoration"));
  QVERIFY(picture != nullptr);
  QCOMPARE(picture->pixmap().size(), QSize(75, 75));
  QCOMPARE(picture->geometry(), window.units().ToPixels(210, 64, 51, 47));

  window.CreateBusyWindow(10, 10);
  auto* busy_picture = window.busyWindow()->findChild<QLabel*>(QStringLiteral("busyPicture"));
  QVERIFY(busy_picture != nullptr);
  QCOMPARE(busy_picture->pixmap().size(), QSize(64, 64));
  QVERIFY(busy_picture->pixmap().toImage().colorCount() <= 16);
  window.DestroyBusyWindow();
}

void MainWindowTest::ListsKeepOrderItemDataAndSelection() {
  MainWindow window;
  const std::vector<ListEntry> devices = {
      {"AT89S8252", 3}, {"AT89S53", 3}, {"AT89S51", 2}, {"AT89LS53", 0}};
  window.FillList(Control::kDeviceList, devices, 2);
  auto* combo = static_cast<QComboBox*>(window.control(Control::kDeviceList));
  QCOMPARE(combo->count(), 4);
  QCOMPARE(combo->itemText(0), QStringLiteral("AT89S8252"));  // not sorted
  QCOMPARE(combo->itemText(3), QStringLiteral("AT89LS53"));
  QCOMPARE(window.ListSelection(Control::kDeviceList), 2);
  QCOMPARE(combo->currentText(), QStringLiteral("AT89S51"));
  QCOMPARE(window.ListItemData(Control::kDeviceList, 2), 2u);
  QCOMPARE(window.ListItemData(Control::kDeviceList, 3), 0u);
  QCOMPARE(window.ListItemData(Control::kDeviceList, 4), 0u);  // past the end

  window.FillList(Control::kDeviceList, {{"A", 1}}, -1);
  QCOMPARE(combo->count(), 1);
  QCOMPARE(window.ListSelection(Control::kDeviceList), -1);
  window.FillList(Control::kDeviceList, devices, 7);
  QCOMPARE(window.ListSelection(Control::kDeviceList), -1);
}

void MainWindowTest::EnterProgramsExceptInTheLists() {
  MainWindow window;
  window.FillList(Control::kDeviceList, {{"AT89S51", 3}, {"AT89S52", 3}}, 0);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  auto* program = static_cast<QPushButton*>(window.control(Control::kProgramButton));
  QSignalSpy programs(program, &QPushButton::clicked);
  auto* devices = static_cast<QComboBox*>(window.control(Control::kDeviceList));
  QSignalSpy picked(devices, &QComboBox::activated);

  // A name typed into a list and confirmed selects the entry, nothing more.
  devices->lineEdit()->setFocus();
  devices->lineEdit()->setText(QStringLiteral("AT89S52"));
  QTest::keyClick(devices->lineEdit(), Qt::Key_Return);
  QCOMPARE(picked.count(), 1);
  QCOMPARE(devices->currentIndex(), 1);
  QCOMPARE(devices->count(), 2);  // typing never adds an entry
  QCOMPARE(programs.count(), 0);

  // Elsewhere Enter is "Brennen", the default button.
  QWidget* box = window.control(Control::kVerifyBox);
  box->setFocus();
  QTest::keyClick(box, Qt::Key_Return);
  QCOMPARE(programs.count(), 1);
}

void MainWindowTest::RefillingAListIsNotAUserChoice() {
  MainWindow window;
  auto* combo = static_cast<QComboBox*>(window.control(Control::kManufacturerList));
  QSignalSpy picked(combo, &QComboBox::activated);
  window.FillList(Control::kManufacturerList, {{"Atmel", 0}, {"Other", 0}}, 1);
  window.FillList(Control::kManufacturerList, {{"Atmel", 0}}, 0);
  QCOMPARE(picked.count(), 0);
}

void MainWindowTest::FileNameFieldIsReadOnlyAndShowsTheName() {
  MainWindow window;
  window.SetFileNameText("firmware with a long name that scrolls.ihx");
  auto* field = static_cast<QLineEdit*>(window.control(Control::kFileNameField));
  QVERIFY(field->isReadOnly());
  QCOMPARE(field->text(), QStringLiteral("firmware with a long name that scrolls.ihx"));
  QCOMPARE(field->cursorPosition(), 0);  // the start of the name is what shows
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
  QVERIFY(busy->windowFlags() & Qt::FramelessWindowHint);
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
  for (QCheckBox* box : window.findChildren<QCheckBox*>()) {
    QVERIFY2(box->width() >= box->sizeHint().width(), qPrintable(box->text()));
  }
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    QVERIFY2(button->width() > button->fontMetrics().horizontalAdvance(button->text()),
             qPrintable(button->text()));
  }
  // The layout keeps its proportions: widening for the captions is modest.
  const DialogUnits from_font(window.font());
  QVERIFY(window.units().baseX() >= from_font.baseX());
  QVERIFY(window.units().baseX() < from_font.baseX() * 1.5);
  QCOMPARE(window.units().baseY(), from_font.baseY());
}

}  // namespace zivivar

QTEST_MAIN(zivivar::MainWindowTest)
#include "main_window_test.moc"
