// The whole window program on the simulated programmer: start-up, the
// controls as the user finds them, the device commands with their boxes
// answered as a user would, cancelling, closing and the settings file.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <memory>

#include "hw/port_access_system.h"
#include "gui/busy_window.h"
#include "gui/german_translation.h"
#include "gui/hex_view_window.h"
#include "gui/preferences_dialog.h"
#include "gui/window_run.h"
#include "modal_answerer.h"
#include "programmer/device_operations.h"
#include "sim/simulated_hardware.h"
#include "support/temp_dir.h"

namespace zivivar {

using testing::ModalAnswerer;
using testing::SeenBox;
using testing::TempDir;

namespace {

// No parallel port here: every port access fails, so without the simulator
// the program goes into demo mode.
class NoParportSystem : public PortAccessSystem {
 public:
  std::vector<ParportInfo> ListParports() override { return {}; }
  PortOpenResult OpenPpdev(const std::string&, uint16_t) override { return {nullptr, "open", 2}; }
  PortOpenResult OpenDirect(uint32_t, uint16_t) override { return {nullptr, "ioperm", 1}; }
  std::string SystemName() override { return "Linux test"; }
};

std::string Device(const std::string& name, const std::string& erase_us, const std::string& code,
                   const std::string& locks) {
  return name + ";DIP40;5000;1000;" + erase_us + ";0;0;0;0;0;0;" + code + ";0;" + locks + ";4;Y";
}

// Device list positions of the test library.
enum : int { kThreeLocks = 0, kNoEraseNoLocks = 1, kOneLock = 2, kLarge = 3 };
constexpr int kLargeSize = 65536;

// Intel HEX records of per_line bytes holding bytes from address 0, then the end record.
std::string IntelHex(const std::vector<uint8_t>& bytes, size_t per_line = 16) {
  std::string text;
  char line[600];
  for (size_t at = 0; at < bytes.size(); at += per_line) {
    const size_t count = std::min<size_t>(per_line, bytes.size() - at);
    unsigned sum = static_cast<unsigned>(count + (at >> 8) + (at & 0xFF));
    int n = std::snprintf(line, sizeof line, ":%02X%04X00", static_cast<unsigned>(count),
                          static_cast<unsigned>(at));
    for (size_t i = 0; i < count; ++i) {
      n += std::snprintf(line + n, sizeof line - n, "%02X", bytes[at + i]);
      sum += bytes[at + i];
    }
    std::snprintf(line + n, sizeof line - n, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
    text += line;
  }
  return text + ":00000001FF\r\n";
}

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<uint8_t>((i * 7 + 3) % 251);
  return bytes;
}

}  // namespace

class WindowRunTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallGermanTranslation(*QCoreApplication::instance()); }
  void init();
  void cleanup();

  void StartsInDemoModeWithoutAPort();
  void StartsOnTheSimulatorWithTheStoredChoices();
  void LockBoxesFollowTheDevice();
  void ProgramRunsToTheSuccessMessage();
  void CancelIsNoticedAtTheNextStep();
  void ClosingWritesTheSettingsBeforeTheEndMessage();
  void MovesAreTrackedAndMinimisingKeepsThem();
  void PreferencesAndNewFileGoThroughTheirDialogs();
  void ReadOutWritesTheChosenFormat();
  void DroppedFileBecomesTheDataFile();
  void HexViewShowsAnSdccFile();
  void SecondCopyRaisesTheFirst();

 private:
  void WriteSettings(const QStringList& hardware, const QStringList& isp);
  void Start();
  QPushButton* Button(Control id) {
    return qobject_cast<QPushButton*>(m_run->window().control(id));
  }
  QCheckBox* Box(Control id) { return qobject_cast<QCheckBox*>(m_run->window().control(id)); }
  void SelectDevice(int index);
  std::string Log();
  const sim::ChipState& Chip() { return m_run->runtime().simulator()->chip().state(); }

  std::unique_ptr<TempDir> m_dir;
  std::unique_ptr<TempDir> m_locks;
  std::unique_ptr<TempDir> m_state;
  NoParportSystem m_noParport;
  std::unique_ptr<ModalAnswerer> m_answerer;
  std::unique_ptr<WindowRun> m_run;
};

void WindowRunTest::init() {
  m_dir = std::make_unique<TempDir>();
  m_locks = std::make_unique<TempDir>();
  m_state = std::make_unique<TempDir>();
  qputenv("XDG_STATE_HOME", QByteArray::fromStdString(m_state->path()));
  m_answerer = std::make_unique<ModalAnswerer>();
  const std::string library = ":Testmaker;Y\r\n" + Device("T3", "500000", "4096", "3") + "\r\n" +
                              Device("TNOERASE", "0", "4096", "0") + "\r\n" +
                              Device("T1", "500000", "4096", "1") + "\r\n" +
                              Device("TBIG", "500000", std::to_string(kLargeSize), "3") +
                              "\r\n:Other;Y\r\n" + Device("O1", "500000", "2048", "2") + "\r\n";
  m_dir->Write("VOZ8051.CSV", library);
}

void WindowRunTest::cleanup() {
  m_run.reset();
  m_answerer.reset();
  m_locks.reset();
  m_state.reset();
  m_dir.reset();
}

std::string WindowRunTest::Log() {
  return m_state->Exists("zivivar/zivivar.log") ? m_state->Read("zivivar/zivivar.log") : "";
}

void WindowRunTest::WriteSettings(const QStringList& hardware, const QStringList& isp) {
  QString text = QStringLiteral("[Hardware]\r\n") + hardware.join(QStringLiteral("\r\n")) +
                 QStringLiteral("\r\n[8051 ISP INI-Section]\r\n") +
                 QStringLiteral("DataPath=%1\r\n").arg(QString::fromStdString(m_dir->path())) +
                 isp.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
  m_dir->Write("KORVALNK.INI", text.toStdString());
}

void WindowRunTest::Start() {
  RuntimeOptions options;
  options.settings_directory = m_dir->path();
  options.lock_directory = m_locks->path();
  options.port_access_system = &m_noParport;
  m_run = std::make_unique<WindowRun>(std::move(options));
  QVERIFY(m_run->ClaimInstance());
  m_run->Start();
  QVERIFY(QTest::qWaitForWindowExposed(&m_run->window()));
}

void WindowRunTest::SelectDevice(int index) {
  // As the user picks an entry from the open list.
  auto* list = qobject_cast<QComboBox*>(m_run->window().control(Control::kDeviceList));
  list->setCurrentIndex(index);
  emit list->activated(index);
}

void WindowRunTest::StartsInDemoModeWithoutAPort() {
  WriteSettings({}, {"LastFile=firmware.hex"});
  Start();
  // The user is told why there is no port, then the window is ready.
  QVERIFY(!m_answerer->boxes.isEmpty());
  QCOMPARE(m_answerer->boxes[0].title, QStringLiteral("Meldung"));
  QVERIFY(m_run->dialog().demo_mode());

  MainWindow& window = m_run->window();
  QVERIFY(window.isVisible());
  // The window says so before any button is pressed.
  QCOMPARE(window.windowTitle(), QStringLiteral("8051 VeDedido Zivivar V1.05 - Demomodus"));
  QCOMPARE(window.statusLine()->text(), QStringLiteral("Warte auf Eingaben (Demomodus)"));
  QVERIFY(!window.cancelButton()->isEnabled());
  auto* manufacturers = qobject_cast<QComboBox*>(window.control(Control::kManufacturerList));
  QCOMPARE(manufacturers->count(), 2);
  QCOMPARE(manufacturers->currentText(), QStringLiteral("Testmaker"));
  QCOMPARE(qobject_cast<QLineEdit*>(window.control(Control::kFileNameField))->text(),
           QStringLiteral("firmware.hex"));

  // Every device command is refused with the demo message, and nothing stays busy.
  const qsizetype before = m_answerer->boxes.size();
  Button(Control::kProgramButton)->click();
  Button(Control::kBlankCheckButton)->click();
  QCOMPARE(m_answerer->boxes.size(), before + 2);
  QCOMPARE(
      m_answerer->boxes.last().text,
      QString::fromUtf8("Keine Aktionen des Brenners möglich !\n\nProgramm läuft im Demomodus."));
  QVERIFY(window.busyWindow() == nullptr);
  QCOMPARE(window.statusLine()->text(), QStringLiteral("Warte auf Eingaben (Demomodus)"));
  // Both refusals are recorded.
  QCOMPARE(QString::fromStdString(Log()).count(QStringLiteral("\tDemomodus\n")), 2);
}

void WindowRunTest::StartsOnTheSimulatorWithTheStoredChoices() {
  WriteSettings({"Simulator=1"}, {"FFSave=1", "Verify=0", "Lock2=1", "Lock1=1", "DeviceIndex=2"});
  Start();
  QVERIFY2(m_answerer->boxes.isEmpty(), qPrintable(m_answerer->Texts().join('|')));
  QVERIFY(!m_run->dialog().demo_mode());
  MainWindow& window = m_run->window();
  QCOMPARE(window.windowTitle(), QStringLiteral("8051 VeDedido Zivivar V1.05"));
  QVERIFY(!Box(Control::kVerifyBox)->isChecked());
  QVERIFY(Box(Control::kFFSaveBox)->isChecked());
  QVERIFY(Box(Control::kChecksumBox)->isChecked());
  QVERIFY(Box(Control::kLock1Box)->isChecked());
  QVERIFY(Box(Control::kLock2Box)->isChecked());
  QVERIFY(!Box(Control::kLock3Box)->isChecked());
  // Device "T1" has one lock bit.
  QCOMPARE(window.ListSelection(Control::kDeviceList), kOneLock);
  QVERIFY(!window.cancelButton()->isEnabled());
  QCOMPARE(window.progressBar()->value(), 0);
  // The window stands where the settings say (the default 10, 10).
  QCOMPARE(window.GetWindowRect().x, 10);
  QCOMPARE(window.GetWindowRect().y, 10);
}

void WindowRunTest::LockBoxesFollowTheDevice() {
  WriteSettings({"Simulator=1"}, {"DeviceIndex=0"});
  Start();
  MainWindow& window = m_run->window();
  Settings& settings = m_run->runtime().settings();

  // Checking "Lock3" checks the levels below it.
  QTest::mouseClick(Box(Control::kLock3Box), Qt::LeftButton);
  QVERIFY(Box(Control::kLock1Box)->isChecked() && Box(Control::kLock2Box)->isChecked());
  QCOMPARE(settings.Lock1 + settings.Lock2 + settings.Lock3, 3);
  // "Lock2" cannot be cleared while "Lock3" is set.
  QTest::mouseClick(Box(Control::kLock2Box), Qt::LeftButton);
  QVERIFY(Box(Control::kLock2Box)->isChecked());
  QCOMPARE(settings.Lock2, 1);

  // A device without lock bits and without erase disables the boxes and
  // "Löschen", but keeps what is checked.
  SelectDevice(kNoEraseNoLocks);
  QCOMPARE(settings.DeviceIndex, kNoEraseNoLocks);
  QVERIFY(!window.IsControlEnabled(Control::kEraseButton));
  for (Control id : {Control::kLock1Box, Control::kLock2Box, Control::kLock3Box}) {
    QVERIFY(!window.IsControlEnabled(id));
    QVERIFY(window.IsChecked(id));
  }
  SelectDevice(kOneLock);
  QVERIFY(window.IsControlEnabled(Control::kEraseButton));
  QVERIFY(window.IsControlEnabled(Control::kLock1Box));
  QVERIFY(!window.IsControlEnabled(Control::kLock2Box));

  // Another manufacturer refills the device list.
  auto* manufacturers = qobject_cast<QComboBox*>(window.control(Control::kManufacturerList));
  manufacturers->setCurrentIndex(1);
  emit manufacturers->activated(1);
  auto* devices = qobject_cast<QComboBox*>(window.control(Control::kDeviceList));
  QCOMPARE(devices->count(), 1);
  QCOMPARE(devices->currentText(), QStringLiteral("O1"));
  QVERIFY(window.IsControlEnabled(Control::kLock2Box));
  QVERIFY(!window.IsControlEnabled(Control::kLock3Box));
}

void WindowRunTest::ProgramRunsToTheSuccessMessage() {
  const std::vector<uint8_t> data = Pattern(1000);
  m_dir->Write("firmware.hex", IntelHex(data));
  WriteSettings({"Simulator=1"}, {"LastFile=firmware.hex", "DeviceIndex=0"});
  Start();
  MainWindow& window = m_run->window();

  bool busy_while_told = false;
  bool controls_off_while_told = false;
  bool closed_while_busy = true;
  m_answerer->OnBox([&](const SeenBox&) {
    busy_while_told = window.busyWindow() != nullptr && window.busyWindow()->isVisible();
    controls_off_while_told = !window.IsControlEnabled(Control::kProgramButton) &&
                              !window.IsControlEnabled(Control::kDeviceList);
    // Neither a close nor the Escape key ends the window while it programs.
    closed_while_busy = window.close();
    QTest::keyClick(&window, Qt::Key_Escape);
  });
  Button(Control::kProgramButton)->click();
  QVERIFY(!closed_while_busy);
  QVERIFY(window.isVisible());
  QVERIFY(!m_dir->Exists("KORVALNK.INI.tmp"));

  QCOMPARE(m_answerer->Texts(), QStringList{QStringLiteral("Keine Fehler beim prüfen\n")});
  QVERIFY(busy_while_told);
  QVERIFY(controls_off_while_told);
  const std::vector<uint8_t>& code = Chip().code;
  QVERIFY(std::equal(data.begin(), data.end(), code.begin()));
  QCOMPARE(code[data.size()], static_cast<uint8_t>(0xFF));

  // Back to idle.
  QVERIFY(window.busyWindow() == nullptr);
  QVERIFY(window.IsControlEnabled(Control::kProgramButton));
  QVERIFY(!window.cancelButton()->isEnabled());
  QCOMPARE(window.statusLine()->text(), QStringLiteral("Warte auf Eingaben"));
  QCOMPARE(window.progressBar()->value(), 0);
  // One line in the log: time, device, command, file, result.
  const QStringList fields = QString::fromStdString(Log()).split(QLatin1Char('\t'));
  QCOMPARE(fields.size(), 5);
  QCOMPARE(
      fields.mid(1),
      QStringList({"T3", "Brennen", QString::fromStdString(m_dir->File("firmware.hex")), "OK\n"}));
}

void WindowRunTest::CancelIsNoticedAtTheNextStep() {
  m_dir->Write("big.hex", IntelHex(Pattern(kLargeSize)));
  WriteSettings({"Simulator=1"}, {"LastFile=big.hex", "DeviceIndex=3", "Verify=1"});
  Start();
  MainWindow& window = m_run->window();

  // The user clicks "Abbrechen" as soon as it can be clicked; the click can
  // only arrive at a progress step.
  int clicks = 0;
  QTimer clicker;
  connect(&clicker, &QTimer::timeout, [&] {
    if (clicks == 0 && window.cancelButton()->isEnabled()) {
      ++clicks;
      QTest::mouseClick(window.cancelButton(), Qt::LeftButton);
    }
  });
  clicker.start(0);
  Button(Control::kProgramButton)->click();
  clicker.stop();

  QCOMPARE(clicks, 1);
  QCOMPARE(m_answerer->Texts(), QStringList{QString::fromUtf8(kProgramCancelledMessage)});
  // Programming stopped right after the step whose event processing
  // delivered the click: a whole number of steps was written.
  const std::vector<uint8_t>& code = Chip().code;
  const auto written = static_cast<int>(
      std::count_if(code.begin(), code.end(), [](uint8_t byte) { return byte != 0xFF; }));
  const int per_step = (kLargeSize - 1) / 50;
  QVERIFY2(written > 0 && written < kLargeSize, qPrintable(QString::number(written)));
  QCOMPARE(written % per_step, 0);
  // The flag does not outlive the command.
  QCOMPARE(m_run->runtime().services().cancel_flag(), 0);
  QVERIFY(!window.cancelButton()->isEnabled());
  QVERIFY(window.IsControlEnabled(Control::kProgramButton));
}

void WindowRunTest::ClosingWritesTheSettingsBeforeTheEndMessage() {
  WriteSettings({"Simulator=1"}, {"EndMessage=1", "FFSave=0"});
  Start();
  MainWindow& window = m_run->window();
  QTest::mouseClick(Box(Control::kFFSaveBox), Qt::LeftButton);
  window.MoveWindow(WindowRect{123, 145, 0, 0});

  std::string file_at_message;
  m_answerer->OnBox([&](const SeenBox&) { file_at_message = m_dir->Read("KORVALNK.INI"); });
  QTest::keyClick(&window, Qt::Key_Escape);

  QVERIFY(!window.isVisible());
  QCOMPARE(m_answerer->Texts(),
           QStringList{QStringLiteral("Baustein jetzt unbedingt\naus dem Sockel nehmen !!!")});
  const QString saved = QString::fromStdString(file_at_message);
  QVERIFY2(saved.contains(QStringLiteral("FFSave=1\r\n")), qPrintable(saved));
  QVERIFY(saved.contains(QStringLiteral("X-Koord=123\r\n")));
}

void WindowRunTest::MovesAreTrackedAndMinimisingKeepsThem() {
  WriteSettings({"Simulator=1"}, {"X-Koord=50", "Y-Koord=60"});
  Start();
  MainWindow& window = m_run->window();
  Settings& settings = m_run->runtime().settings();
  // Moves are tracked by the client area's place, as the system always did.
  window.move(123, 145);
  QTRY_COMPARE(settings.XKoord, window.geometry().x());
  QCOMPARE(settings.YKoord, window.geometry().y());
  QVERIFY(settings.XKoord >= 123 && settings.XKoord < 140);
  const int x = settings.XKoord;
  const int y = settings.YKoord;

  // This desktop does not move a window that it minimises: the position
  // from before stays the stored one.
  window.showMinimized();
  QTRY_VERIFY(window.isMinimized());
  QCOMPARE(settings.XKoord, x);
  QCOMPARE(settings.YKoord, y);
  window.showNormal();
  QTRY_VERIFY(!window.isMinimized());
  QCOMPARE(settings.XKoord, x);
  QCOMPARE(settings.YKoord, y);
}

void WindowRunTest::PreferencesAndNewFileGoThroughTheirDialogs() {
  m_dir->Write("MAIN.IHX", IntelHex(Pattern(16)));
  WriteSettings({"Simulator=1"}, {"LastFile="});
  Start();
  MainWindow& window = m_run->window();

  m_answerer->QueueDialog([](QDialog& dialog) {
    auto& preferences = static_cast<PreferencesDialog&>(dialog);
    qobject_cast<QLineEdit*>(preferences.field(kTimeBaseKorrField))->setText("90");
    preferences.okButton()->click();
  });
  Button(Control::kPrefsButton)->click();
  QCOMPARE(m_run->runtime().settings().TimeBaseKorr, 90);

  m_answerer->QueueDialog([](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    files.selectNameFilter(files.nameFilters()[3]);  // "*.IHX SDCC Intel Hex"
    files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("MAIN.IHX");
    dialog.accept();
  });
  Button(Control::kNewFileButton)->click();
  QCOMPARE(m_answerer->dialogs_seen, 2);
  QCOMPARE(qobject_cast<QLineEdit*>(window.control(Control::kFileNameField))->text(),
           QStringLiteral("MAIN.IHX"));
  QCOMPARE(m_run->runtime().settings().ReadFilter, 4);
  QCOMPARE(m_run->runtime().settings().data_file_path, m_dir->File("MAIN.IHX"));
}

void WindowRunTest::ReadOutWritesTheChosenFormat() {
  m_dir->Write("firmware.hex", IntelHex(Pattern(32)));
  WriteSettings({"Simulator=1"}, {"LastFile=firmware.hex", "DeviceIndex=0"});
  Start();
  Button(Control::kProgramButton)->click();
  QCOMPARE(m_answerer->boxes.size(), 1);

  // Saved as "daten.txt" under "*.HEX Intel8": written as Intel HEX named daten.hex.
  m_answerer->QueueDialog([](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    files.selectNameFilter(files.nameFilters()[2]);
    files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("daten.txt");
    dialog.accept();
  });
  Button(Control::kReadOutButton)->click();
  QCOMPARE(m_answerer->boxes.last().text, QStringLiteral("\nProzessor-Programm gespeichert \n"));
  QVERIFY(!m_dir->Exists("daten.txt"));
  // The chip's first 32 bytes form the first line, at the default line length.
  const std::string written = m_dir->Read("daten.hex");
  const std::string first_line = IntelHex(Pattern(32), 32).substr(0, 1 + 2 * (4 + 32 + 1) + 2);
  QCOMPARE(written.substr(0, first_line.size()), first_line);
  QCOMPARE(qobject_cast<QLineEdit*>(m_run->window().control(Control::kFileNameField))->text(),
           QStringLiteral("daten.hex"));
}

void WindowRunTest::DroppedFileBecomesTheDataFile() {
  m_dir->Write("MAIN.IHX", IntelHex(Pattern(16)));
  WriteSettings({"Simulator=1"}, {"LastFile=old.hex", "ReadFilter=2"});
  Start();
  MainWindow& window = m_run->window();
  auto drop = [&](const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &dropped);
    return enter.isAccepted();
  };
  // A folder or a missing file is no data file.
  QVERIFY(!drop(QString::fromStdString(m_dir->path())));
  QVERIFY(!drop(QString::fromStdString(m_dir->File("missing.hex"))));
  QCOMPARE(m_run->runtime().settings().data_file_name, std::string("old.hex"));

  QVERIFY(drop(QString::fromStdString(m_dir->File("MAIN.IHX"))));
  QCOMPARE(m_answerer->dialogs_seen, 0);
  QCOMPARE(qobject_cast<QLineEdit*>(window.control(Control::kFileNameField))->text(),
           QStringLiteral("MAIN.IHX"));
  QCOMPARE(m_run->runtime().settings().data_file_path, m_dir->File("MAIN.IHX"));
  QCOMPARE(m_run->runtime().settings().ReadFilter, 2);
  QCOMPARE(m_run->dialog().eeprom_path(), m_dir->File("MAIN.eep"));
}

void WindowRunTest::HexViewShowsAnSdccFile() {
  QFile example(QStringLiteral(ZIVIVAR_EXAMPLE_FIRMWARE));
  QVERIFY(example.open(QIODevice::ReadOnly));
  m_dir->Write("blink.ihx", example.readAll().toStdString());
  WriteSettings({"Simulator=1"}, {"LastFile=blink.ihx", "DeviceIndex=0"});
  Start();
  HexViewWindow* view = m_run->window().OpenHexView();
  QVERIFY(view != nullptr);
  // The first record of blink.ihx: a jump to 0x0006 at address 0.
  const QStringList lines = view->dump()->toPlainText().split(QLatin1Char('\n'));
  QCOMPARE(lines.size(), 4096 / 16);
  QCOMPARE(lines[0].left(24), QStringLiteral("0000  02 00 06 02 00 7C "));
  QCOMPARE(lines[0].size(), 4 + 2 + 16 * 3 + 2 + 16 - 1);
  QCOMPARE(view->headerText(), QStringLiteral("Geladen: 0x0000 bis 0x0094 (149 Bytes)"));
  QCOMPARE(lines[10].mid(5),
           QStringLiteral(" FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF  ................"));
  // The loaded range is marked: lines 0 to 9 (0x94 lies in line 9).
  const QList<QTextEdit::ExtraSelection> marks = view->dump()->extraSelections();
  QCOMPARE(marks.size(), 1);
  QCOMPARE(marks[0].cursor.selectionStart(), 0);
  QCOMPARE(marks[0].cursor.selectedText(), lines.mid(0, 10).join(QChar(0x2029)));

  // Saved in another format, it reads back as the same image.
  m_answerer->QueueDialog([](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    files.selectNameFilter(files.nameFilters()[5]);  // Motorola S1
    files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("copy");
    dialog.accept();
  });
  QVERIFY(view->Save() == CommandResult::kOk);
  QVERIFY(m_dir->Read("copy.hex").rfind("S0", 0) == 0);
  view->close();
}

void WindowRunTest::SecondCopyRaisesTheFirst() {
  WriteSettings({"Simulator=1"}, {});
  Start();
  MainWindow& window = m_run->window();
  window.showMinimized();
  QTRY_VERIFY(window.isMinimized());

  RuntimeOptions options;
  options.settings_directory = m_dir->path();
  options.lock_directory = m_locks->path();
  WindowRun second(std::move(options));
  QVERIFY(!second.ClaimInstance());
  QVERIFY(second.ShowRunningCopy());
  QTRY_VERIFY(!window.isMinimized());
  QTRY_VERIFY(window.isActiveWindow());
}

}  // namespace zivivar

QTEST_MAIN(zivivar::WindowRunTest)
#include "window_run_test.moc"
