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
  void ControlsHaveTheirCaptionsAndPlaces_data();
  void ControlsHaveTheirCaptionsAndPlaces();
  void WindowIsFixedWithoutMinimiseOrMaximiseAndProgramIsDefault();
  void PicturesAreBuiltIn();
  void ListsKeepOrderItemDataAndSelection();
  void RefillingAListIsNotAUserChoice();
  void EnterProgramsExceptInTheLists();
  void EnablingAndCheckingGoByIdentifier();
  void FileNameFieldIsReadOnlyAndShowsTheName();
  void BusyWindowIsCaptionlessAtItsPlace();
  void CaptionsFitTheirControls();
  void MoveWindowKeepsTheSize();
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

void MainWindowTest::ControlsHaveTheirCaptionsAndPlaces_data() {
  QTest::addColumn<int>("id");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QRect>("units");
  auto row = [](Control id, const char* caption, QRect units) {
    QTest::newRow(caption[0] ? caption : QByteArray::number(static_cast<int>(id)).constData())
        << static_cast<int>(id) << QString::fromUtf8(caption) << units;
  };
  row(Control::kStatusLine, "Warte auf Eingaben", QRect(6, 4, 252, 8));
  row(Control::kProgressBar, "", QRect(4, 14, 256, 10));
  row(Control::kBlankCheckButton, "Leertest", QRect(4, 30, 50, 12));
  row(Control::kReadOutButton, "Auslesen", QRect(58, 30, 50, 12));
  row(Control::kProgramButton, "Brennen", QRect(4, 46, 50, 12));
  row(Control::kVerifyButton, "Prüfen", QRect(58, 46, 50, 12));
  row(Control::kFileNameField, "", QRect(4, 62, 104, 12));
  row(Control::kNewFileButton, "Neue Datei", QRect(4, 78, 50, 12));
  row(Control::kPrefsButton, "Prefs", QRect(58, 78, 50, 12));
  row(Control::kEraseButton, "Löschen", QRect(58, 94, 50, 12));
  row(Control::kCancelButton, "Abbrechen", QRect(30, 118, 50, 12));
  row(Control::kManufacturerList, "", QRect(115, 30, 145, 100));
  row(Control::kDeviceList, "", QRect(116, 46, 145, 85));
  row(Control::kVerifyBox, "Baustein prüfen", QRect(122, 71, 65, 10));
  row(Control::kFFSaveBox, "Leerzellen speichern", QRect(122, 82, 80, 10));
  row(Control::kChecksumBox, "Checksummen prüfen", QRect(122, 94, 82, 10));
  row(Control::kLock1Box, "Lock1", QRect(122, 122, 36, 10));
  row(Control::kLock2Box, "Lock2", QRect(170, 122, 36, 10));
  row(Control::kLock3Box, "Lock3", QRect(218, 122, 36, 10));
}

void MainWindowTest::ControlsHaveTheirCaptionsAndPlaces() {
  QFETCH(int, id);
  QFETCH(QString, caption);
  QFETCH(QRect, units);
  MainWindow window;
  QWidget* widget = window.control(static_cast<Control>(id));
  QVERIFY(widget != nullptr);
  QCOMPARE(widget->parentWidget(), &window);

  const QRect expected =
      window.units().ToPixels(units.x(), units.y(), units.width(), units.height());
  if (qobject_cast<QComboBox*>(widget) != nullptr) {
    // The unit height is that of the open list.
    QCOMPARE(widget->x(), expected.x());
    QCOMPARE(widget->y(), expected.y());
    QCOMPARE(widget->width(), expected.width());
    QVERIFY(widget->height() < expected.height());
    QVERIFY(static_cast<QComboBox*>(widget)->maxVisibleItems() >= 4);
  } else {
    QCOMPARE(widget->geometry(), expected);
  }

  QString text;
  if (auto* button = qobject_cast<QAbstractButton*>(widget))
    text = button->text();
  if (auto* label = qobject_cast<QLabel*>(widget))
    text = label->text();
  QCOMPARE(text, caption);
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

  QStringList frames;
  for (QGroupBox* frame : window.findChildren<QGroupBox*>())
    frames << frame->title();
  frames.sort();
  QCOMPARE(frames, QStringList({"Optionen", "Schutzbits"}));
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
  // Typing into the edit field never adds an entry.
  combo->setFocus();
  combo->lineEdit()->setText(QStringLiteral("AT89C2051"));
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  QCOMPARE(combo->count(), 4);
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

void MainWindowTest::EnablingAndCheckingGoByIdentifier() {
  MainWindow window;
  window.EnableControl(Control::kEraseButton, false);
  QVERIFY(!window.IsControlEnabled(Control::kEraseButton));
  QVERIFY(!window.control(Control::kEraseButton)->isEnabled());
  window.EnableControl(Control::kEraseButton, true);
  QVERIFY(window.IsControlEnabled(Control::kEraseButton));

  window.EnableControl(Control::kLock2Box, false);
  window.SetChecked(Control::kLock2Box, true);
  QVERIFY(window.IsChecked(Control::kLock2Box));  // a disabled box keeps its state
  QVERIFY(static_cast<QCheckBox*>(window.control(Control::kLock2Box))->isChecked());
  QVERIFY(!window.IsChecked(Control::kLock1Box));
  QVERIFY(!window.IsChecked(Control::kProgramButton));
}

void MainWindowTest::FileNameFieldIsReadOnlyAndShowsTheName() {
  MainWindow window;
  window.SetFileNameText("firmware with a long name that scrolls.ihx");
  auto* field = static_cast<QLineEdit*>(window.control(Control::kFileNameField));
  QVERIFY(field->isReadOnly());
  QCOMPARE(field->text(), QStringLiteral("firmware with a long name that scrolls.ihx"));
  QCOMPARE(field->cursorPosition(), 0);  // the start of the name is what shows
}

void MainWindowTest::BusyWindowIsCaptionlessAtItsPlace() {
  MainWindow window;
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  window.MoveWindow(WindowRect{40, 30, 0, 0});
  QVERIFY(window.busyWindow() == nullptr);
  // Where the classic layout put it, over the picture: 314, 103 from the client area.
  const QPoint origin = window.geometry().topLeft();
  window.CreateBusyWindow(origin.x() + 314, origin.y() + 103);
  BusyWindow* busy = window.busyWindow();
  QVERIFY(busy != nullptr);
  QVERIFY(busy->isVisible());
  QVERIFY(busy->isWindow());
  QVERIFY(busy->parentWidget() == nullptr);
  QCOMPARE(busy->windowTitle(), QStringLiteral("KorvalinkDevil"));
  QVERIFY(busy->windowFlags() & Qt::FramelessWindowHint);
  QCOMPARE(busy->size(), window.units().ToPixels(0, 0, 50, 50).size());
  // It covers the decorative picture, whatever the font's units are.
  auto* picture = window.findChild<QLabel*>(QStringLiteral("decoration"));
  const QRect picture_on_screen(picture->mapToGlobal(QPoint(0, 0)), picture->size());
  QVERIFY(busy->frameGeometry().contains(picture_on_screen.center()));
  QVERIFY((busy->pos() - picture_on_screen.topLeft()).manhattanLength() <= 4);
  window.DestroyBusyWindow();
  QVERIFY(window.busyWindow() == nullptr);
  window.DestroyBusyWindow();  // twice is harmless
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

void MainWindowTest::MoveWindowKeepsTheSize() {
  MainWindow window;
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  const QSize size = window.size();
  window.MoveWindow(WindowRect{100, 120, 10, 10});
  const WindowRect rect = window.GetWindowRect();
  QCOMPARE(rect.x, 100);
  QCOMPARE(rect.y, 120);
  QCOMPARE(window.size(), size);
}

}  // namespace zivivar

QTEST_MAIN(zivivar::MainWindowTest)
#include "main_window_test.moc"
