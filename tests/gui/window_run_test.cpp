// The whole window program on the simulated programmer: start-up, the
// device commands with their boxes answered as a user would, cancelling,
// closing with the settings file, the file dialogs, a drop, the hex view,
// and a second copy of the program started beside the first. Then the window
// alone: its lists, the Enter key, the message boxes' buttons and the bar.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QQueue>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <tuple>

#include "gui/busy_window.h"
#include "gui/file_dialogs.h"
#include "gui/german_translation.h"
#include "gui/hex_view_window.h"
#include "gui/preferences_dialog.h"
#include "gui/qt_services_view.h"
#include "gui/window_run.h"
#include "programmer/device_operations.h"
#include "services/services.h"
#include "sim/simulated_hardware.h"
#include "support/no_port_system.h"
#include "support/temp_dir.h"
#include "ui/process_locks.h"

namespace zivivar {

using testing::TempDir;

namespace {

std::string Device(const std::string& name, const std::string& code) {
  return name + ";DIP40;5000;1000;500000;0;0;0;0;0;0;" + code + ";0;3;4;Y\r\n";
}
constexpr int kLargeSize = 65536;  // the second device of the test library

// A binary data file: 03 0A 11 18 ... (its first byte makes it binary).
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 7 + 3) % 251);
  return bytes;
}

// Answers the modal boxes and dialogs that the window opens, as a user would:
// a timer looks for the active modal widget and records it. A message box
// gets its escape button (OK for an information box, cancel for a
// question); any other dialog goes to the handler queued for it.
class ModalAnswerer {
 public:
  ModalAnswerer() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start(5);
  }
  // Handles the next dialog that is not a message box; the handler must close it.
  void QueueDialog(std::function<void(QDialog&)> handler) { m_dialogs.enqueue(std::move(handler)); }

  std::function<void()> on_box;  // runs when a message box appears, before it is answered
  QStringList texts;             // of the message boxes seen so far

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == m_last || !modal->isVisible())
      return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      m_last = modal;
      texts << box->text();
      if (on_box)
        on_box();
      QAbstractButton* answer = box->escapeButton();
      (answer != nullptr ? answer : box->buttons().value(0))->click();
      return;
    }
    auto* dialog = qobject_cast<QDialog*>(modal);
    if (dialog == nullptr || m_dialogs.isEmpty())
      return;
    m_last = modal;
    // Called after this poll returns: a handler that opens a nested box
    // (an overwrite question, a range message) needs the timer running.
    QTimer::singleShot(0, [handler = m_dialogs.dequeue(), target = QPointer<QDialog>(dialog)] {
      if (target)
        handler(*target);
    });
  }

  QTimer m_timer;
  QQueue<std::function<void(QDialog&)>> m_dialogs;
  QPointer<QWidget> m_last;
};

// Answers the next file dialog with filter and name, as a user would.
void AnswerFileDialog(ModalAnswerer& answerer, int filter, const QString& name) {
  answerer.QueueDialog([filter, name](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    files.selectNameFilter(files.nameFilters()[filter]);
    files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
    dialog.accept();
  });
}

}  // namespace

class WindowRunTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY2(InstallGermanTranslation(*QCoreApplication::instance()),
             "the toolkit's German translation (qt6-translations-l10n) is missing");
  }
  void init();
  void cleanup();

  void StartsInDemoModeWithoutAPort();
  void StoredChoicesComeBackAndClosingWritesThemBeforeTheEndMessage();
  void ProgramRunsToTheSuccessMessageThenReadOutWritesTheChosenFormat();
  void CancelIsNoticedAtTheNextStep();
  void DataFileComesFromTheOpenDialogOrADrop();
  void PreferencesRefuseAValueOutOfRangeAndStayOpen();
  void HexViewShowsAnSdccFile();
  void SecondCopyEndsSilentlyWhileTheFirstIsOpen();
  // The window alone, without the logic, and the Qt side of the services.
  void ListsKeepOrderAndSelection();
  void EnterInAListOnlySelects();
  void EveryButtonGivesItsResult();
  void EmptyRangeKeepsTheBarStill();

 private:
  void WriteSettings(const QStringList& hardware, const QStringList& isp);
  void Start();
  QPushButton* Button(Control id) {
    return qobject_cast<QPushButton*>(m_run->window().control(id));
  }
  QCheckBox* Box(Control id) { return qobject_cast<QCheckBox*>(m_run->window().control(id)); }
  QString FileField() {
    return qobject_cast<QLineEdit*>(m_run->window().control(Control::kFileNameField))->text();
  }
  const sim::ChipState& Chip() { return m_run->runtime().simulator()->chip().state(); }

  std::unique_ptr<TempDir> m_dir;
  std::unique_ptr<TempDir> m_locks;
  std::unique_ptr<TempDir> m_state;
  testing::NoPortSystem m_noParport;  // without the simulator: demo mode
  std::unique_ptr<ModalAnswerer> m_answerer;
  std::unique_ptr<WindowRun> m_run;
};

void WindowRunTest::init() {
  m_dir = std::make_unique<TempDir>();
  m_locks = std::make_unique<TempDir>();
  m_state = std::make_unique<TempDir>();
  qputenv("XDG_STATE_HOME", QByteArray::fromStdString(m_state->path()));
  m_answerer = std::make_unique<ModalAnswerer>();
  m_dir->Write("VOZ8051.CSV", ":Testmaker;Y\r\n" + Device("T3", "4096") +
                                  Device("TBIG", std::to_string(kLargeSize)) + ":Other;Y\r\n" +
                                  Device("O1", "2048"));
}

void WindowRunTest::cleanup() {
  m_run.reset();
  m_answerer.reset();
  m_locks.reset();
  m_state.reset();
  m_dir.reset();
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

void WindowRunTest::StartsInDemoModeWithoutAPort() {
  WriteSettings({}, {});
  Start();
  // The user is told why there is no port, then the window is ready and says so.
  QCOMPARE(m_answerer->texts.size(), 1);
  MainWindow& window = m_run->window();
  QCOMPARE(window.windowTitle(), QStringLiteral("8051 VeDedido Zivivar V1.05 - Demomodus"));
  QCOMPARE(window.statusLine()->text(), QStringLiteral("Warte auf Eingaben (Demomodus)"));

  // Every device command is refused with the demo message, and nothing stays busy.
  m_answerer->texts.clear();
  for (Control command :
       {Control::kProgramButton, Control::kVerifyButton, Control::kBlankCheckButton,
        Control::kReadOutButton, Control::kEraseButton})
    Button(command)->click();
  QCOMPARE(
      m_answerer->texts,
      QStringList(5, QString::fromUtf8(
                         "Keine Aktionen des Brenners möglich !\n\nProgramm läuft im Demomodus.")));
  QVERIFY(window.busyWindow() == nullptr);
}

void WindowRunTest::StoredChoicesComeBackAndClosingWritesThemBeforeTheEndMessage() {
  WriteSettings({"Simulator=1"}, {"EndMessage=1", "FFSave=0", "Verify=0", "Lock2=1",
                                  "DeviceIndex=1", "X-Koord=50", "Y-Koord=60"});
  Start();
  QVERIFY2(m_answerer->texts.isEmpty(), qPrintable(m_answerer->texts.join('|')));
  MainWindow& window = m_run->window();
  QCOMPARE(window.windowTitle(), QStringLiteral("8051 VeDedido Zivivar V1.05"));
  QVERIFY(!Box(Control::kVerifyBox)->isChecked() && Box(Control::kChecksumBox)->isChecked());
  QVERIFY(Box(Control::kLock2Box)->isChecked() && !Box(Control::kLock3Box)->isChecked());
  QCOMPARE(window.ListSelection(Control::kDeviceList), 1);
  QCOMPARE(window.GetWindowRect().x, 50);

  // A change and a move.
  QTest::mouseClick(Box(Control::kFFSaveBox), Qt::LeftButton);
  window.move(123, 145);
  QTRY_COMPARE(m_run->runtime().settings().XKoord, window.geometry().x());

  std::string file_at_message;
  m_answerer->on_box = [&] { file_at_message = m_dir->Read("KORVALNK.INI"); };
  QTest::keyClick(&window, Qt::Key_Escape);
  QVERIFY(!window.isVisible());
  QCOMPARE(m_answerer->texts,
           QStringList{QStringLiteral("Baustein jetzt unbedingt\naus dem Sockel nehmen !!!")});
  const QString saved = QString::fromStdString(file_at_message);
  // The place is the frame's, where the move put it.
  for (const char* line : {"FFSave=1", "Verify=0", "Lock2=1", "DeviceIndex=1", "X-Koord=123"}) {
    QVERIFY2(saved.contains(line + QStringLiteral("\r\n")), qPrintable(line + ("\n" + saved)));
  }
}

void WindowRunTest::ProgramRunsToTheSuccessMessageThenReadOutWritesTheChosenFormat() {
  m_dir->Write("firmware.bin", Pattern(1000));
  WriteSettings({"Simulator=1"}, {"LastFile=firmware.bin", "DeviceIndex=0"});
  Start();
  MainWindow& window = m_run->window();

  bool busy_while_told = false;
  bool closed_while_busy = true;
  m_answerer->on_box = [&] {
    busy_while_told = window.busyWindow() != nullptr && window.busyWindow()->isVisible() &&
                      !window.IsControlEnabled(Control::kProgramButton) &&
                      !window.IsControlEnabled(Control::kDeviceList);
    // Neither a close nor the Escape key ends the window while it programs.
    closed_while_busy = window.close();
    QTest::keyClick(&window, Qt::Key_Escape);
  };
  // Enter outside the lists is "Brennen", the default button.
  Box(Control::kVerifyBox)->setFocus();
  QTest::keyClick(Box(Control::kVerifyBox), Qt::Key_Return);
  QVERIFY(!closed_while_busy && window.isVisible());
  QCOMPARE(m_answerer->texts, QStringList{QStringLiteral("Keine Fehler beim prüfen\n")});
  QVERIFY(busy_while_told);
  m_answerer->on_box = nullptr;

  // Back to idle.
  QVERIFY(window.busyWindow() == nullptr);
  QVERIFY(window.IsControlEnabled(Control::kProgramButton));
  QCOMPARE(window.statusLine()->text(), QStringLiteral("Warte auf Eingaben"));
  QCOMPARE(window.progressBar()->value(), 0);

  // Saved as "daten.txt" under "*.HEX Intel8": written as Intel HEX named daten.hex.
  QString set_up;
  m_answerer->QueueDialog([&set_up](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    // Opened with the stored format preselected, showing its text alone, the
    // name proposed, and the overwrite question on.
    set_up = files.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText() + "|" +
             files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text() + "|" +
             QString::number(files.testOption(QFileDialog::DontConfirmOverwrite));
    files.selectNameFilter(files.nameFilters()[2]);
    files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("daten.txt");
    dialog.accept();
  });
  Button(Control::kReadOutButton)->click();
  QCOMPARE(set_up, QString::fromUtf8("*.BIN Binär|firmware|0"));
  QCOMPARE(m_answerer->texts.last(), QStringLiteral("\nProzessor-Programm gespeichert \n"));
  // The chip's first 32 bytes form the first line, at the default line length.
  QCOMPARE(m_dir->Read("daten.hex").substr(0, 17), std::string(":20000000030A1118"));
}

void WindowRunTest::CancelIsNoticedAtTheNextStep() {
  m_dir->Write("big.bin", Pattern(kLargeSize));
  WriteSettings({"Simulator=1"}, {"LastFile=big.bin", "DeviceIndex=1", "Verify=1"});
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
  QCOMPARE(m_answerer->texts, QStringList{QString::fromUtf8(kProgramCancelledMessage)});
  // Programming stopped part of the way.
  const std::vector<uint8_t>& code = Chip().code;
  const auto written = std::count_if(code.begin(), code.end(), [](uint8_t b) { return b != 0xFF; });
  QVERIFY2(written > 0 && written < kLargeSize, qPrintable(QString::number(written)));
  QVERIFY(!window.cancelButton()->isEnabled());
}

void WindowRunTest::DataFileComesFromTheOpenDialogOrADrop() {
  m_dir->Write("MAIN.IHX", ":00000001FF\r\n");
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
  QCOMPARE(FileField(), QStringLiteral("MAIN.IHX"));
  QCOMPARE(m_run->runtime().settings().data_file_path, m_dir->File("MAIN.IHX"));
  QCOMPARE(m_run->runtime().settings().ReadFilter, 2);

  // Through the open dialog its filter is kept as well.
  AnswerFileDialog(*m_answerer, 3, QStringLiteral("MAIN.IHX"));  // "*.IHX SDCC Intel Hex"
  Button(Control::kNewFileButton)->click();
  QCOMPARE(m_run->runtime().settings().ReadFilter, 4);
  QCOMPARE(m_run->runtime().settings().data_file_path, m_dir->File("MAIN.IHX"));
}

void WindowRunTest::PreferencesRefuseAValueOutOfRangeAndStayOpen() {
  WriteSettings({"Simulator=1", "TimeOut=250000", "FastProfile=1"},
                {"HexLineLen=16", "EndMessage=1"});
  Start();
  QString shown;
  bool stayed_open = false;
  m_answerer->QueueDialog([&](QDialog& dialog) {
    auto& preferences = static_cast<PreferencesDialog&>(dialog);
    const PreferencesInput input = preferences.Input();
    shown = QString::fromStdString(
        input.port_address + "|" + input.time_out + "|" + input.timebase_korr + "|" +
        input.hex_line_len + "|" + (input.message_beap ? "beep" : "") +
        (input.end_message ? "|end" : "") + (input.fast_profile ? "|fast" : ""));
    auto* korr = qobject_cast<QLineEdit*>(preferences.field(kTimeBaseKorrField));
    korr->setText("69");
    preferences.okButton()->click();  // the refusal box is answered meanwhile
    stayed_open = preferences.isVisible() && preferences.focusWidget() == korr;
    korr->setText("90");
    preferences.okButton()->click();
  });
  Button(Control::kPrefsButton)->click();
  QCOMPARE(shown, QStringLiteral("0x278|250000|85|16|beep|end|fast"));
  QCOMPARE(m_answerer->texts,
           QStringList{QStringLiteral("Geben Sie eine ganze Zahl zwischen 70 und 100 ein.")});
  QVERIFY(stayed_open);
  QCOMPARE(m_run->runtime().settings().TimeBaseKorr, 90);
  QCOMPARE(m_run->runtime().settings().HexLineLen, 16);
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
  QCOMPARE(view->headerText(), QStringLiteral("Geladen: 0x0000 bis 0x0094 (149 Bytes)"));

  AnswerFileDialog(*m_answerer, 5, QStringLiteral("copy"));  // Motorola S1
  QVERIFY(view->Save() == CommandResult::kOk);
  QVERIFY(m_dir->Read("copy.hex").rfind("S0", 0) == 0);
  view->close();
}

// The program itself, started as a process in the settings directory, with
// the locks in their own directory.
void WindowRunTest::SecondCopyEndsSilentlyWhileTheFirstIsOpen() {
  WriteSettings({"Simulator=1"}, {});
  auto launch = [&](QProcess& process) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(m_locks->path()));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QString::fromStdString(m_dir->path()));
    process.start(QStringLiteral(ZIVIVAR_PROGRAM), QStringList());
  };
  QProcess first;
  launch(first);
  QVERIFY(first.waitForStarted());
  NamedLock open_copy(m_locks->path(), kMainWindowTitle);
  QDeadlineTimer deadline(20000);
  while (!open_copy.HeldElsewhere() && !deadline.hasExpired())
    QTest::qWait(20);
  QVERIFY2(open_copy.HeldElsewhere(), "the first copy did not claim its instance");

  const std::string settings_before = m_dir->Read("KORVALNK.INI");
  QProcess second;
  launch(second);
  QVERIFY(second.waitForFinished(20000));
  QCOMPARE(second.exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.exitCode(), 0);
  QCOMPARE(second.readAllStandardOutput() + second.readAllStandardError(), QByteArray());
  QCOMPARE(m_dir->Read("KORVALNK.INI"), settings_before);
  QCOMPARE(first.state(), QProcess::Running);
  first.kill();
  first.waitForFinished();
}

void WindowRunTest::ListsKeepOrderAndSelection() {
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

void WindowRunTest::EnterInAListOnlySelects() {
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

void WindowRunTest::EveryButtonGivesItsResult() {
  // Kind, its buttons (sorted, without mnemonics), the one clicked, its result.
  const std::tuple<MessageKind, QString, QMessageBox::StandardButton, int> cases[] = {
      {MessageKind::kRetryCancel, "Abbrechen|Wiederholen", QMessageBox::Retry, kIdRetry},
      {MessageKind::kRetryCancel, "Abbrechen|Wiederholen", QMessageBox::Cancel, kIdCancel},
      {MessageKind::kOkCancel, "Abbrechen|OK", QMessageBox::Ok, kIdOk},
      {MessageKind::kOkCancel, "Abbrechen|OK", QMessageBox::Cancel, kIdCancel},
      {MessageKind::kOk, "OK", QMessageBox::Ok, kIdOk}};
  m_answerer.reset();  // the boxes are answered by hand here
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

void WindowRunTest::EmptyRangeKeepsTheBarStill() {
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

QTEST_MAIN(zivivar::WindowRunTest)
#include "window_run_test.moc"
