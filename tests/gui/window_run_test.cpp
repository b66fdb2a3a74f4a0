// The whole window program on the simulated programmer: start-up, the
// device commands with their boxes answered as a user would, cancelling,
// closing with the settings file, the file dialogs, a drop and the hex view.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QQueue>
#include <QRegularExpression>
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
#include "gui/window_run.h"
#include "programmer/device_operations.h"
#include "sim/simulated_hardware.h"
#include "support/no_port_system.h"
#include "support/temp_dir.h"

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
  int dialogs_seen = 0;

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
    ++dialogs_seen;
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
  void initTestCase() { InstallGermanTranslation(*QCoreApplication::instance()); }
  void init();
  void cleanup();

  void StartsInDemoModeWithoutAPort();
  void StoredChoicesComeBackAndClosingWritesThemBeforeTheEndMessage();
  void ProgramRunsToTheSuccessMessageThenReadOutWritesTheChosenFormat();
  void CancelIsNoticedAtTheNextStep();
  void DataFileComesFromTheOpenDialogOrADrop();
  void PreferencesRefuseAValueOutOfRangeAndStayOpen();
  void FilterPatternsIgnoreCase();
  void HexViewShowsAnSdccFile();
  void SecondCopyRaisesTheFirst();

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
  const qsizetype before = m_answerer->texts.size();
  Button(Control::kProgramButton)->click();
  Button(Control::kBlankCheckButton)->click();
  QCOMPARE(m_answerer->texts.size(), before + 2);
  QCOMPARE(
      m_answerer->texts.last(),
      QString::fromUtf8("Keine Aktionen des Brenners möglich !\n\nProgramm läuft im Demomodus."));
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

  // Changes, a move, and a minimise that must not lose the moved-to place.
  QTest::mouseClick(Box(Control::kFFSaveBox), Qt::LeftButton);
  Settings& settings = m_run->runtime().settings();
  window.move(123, 145);
  QTRY_COMPARE(settings.XKoord, window.geometry().x());
  const int x = settings.XKoord;
  window.showMinimized();
  QTRY_VERIFY(window.isMinimized());
  QCOMPARE(settings.XKoord, x);
  window.showNormal();
  QTRY_VERIFY(!window.isMinimized());
  QCOMPARE(settings.XKoord, x);

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
  Button(Control::kProgramButton)->click();
  QVERIFY(!closed_while_busy && window.isVisible());
  QCOMPARE(m_answerer->texts, QStringList{QStringLiteral("Keine Fehler beim prüfen\n")});
  QVERIFY(busy_while_told);
  m_answerer->on_box = nullptr;

  // Back to idle.
  QVERIFY(window.busyWindow() == nullptr);
  QVERIFY(window.IsControlEnabled(Control::kProgramButton));
  QCOMPARE(window.statusLine()->text(), QStringLiteral("Warte auf Eingaben"));
  QCOMPARE(window.progressBar()->value(), 0);

  // A cancelled save dialog writes nothing and says nothing.
  m_answerer->QueueDialog([](QDialog& dialog) { dialog.reject(); });
  Button(Control::kReadOutButton)->click();
  QCOMPARE(m_answerer->texts.size(), 1);

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
  QCOMPARE(m_answerer->dialogs_seen, 0);
  QCOMPARE(FileField(), QStringLiteral("MAIN.IHX"));
  QCOMPARE(m_run->runtime().settings().data_file_path, m_dir->File("MAIN.IHX"));
  QCOMPARE(m_run->runtime().settings().ReadFilter, 2);
  QCOMPARE(m_run->dialog().eeprom_path(), m_dir->File("MAIN.eep"));

  // Through the open dialog its filter is kept as well.
  AnswerFileDialog(*m_answerer, 3, QStringLiteral("MAIN.IHX"));  // "*.IHX SDCC Intel Hex"
  Button(Control::kNewFileButton)->click();
  QCOMPARE(m_answerer->dialogs_seen, 1);
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

void WindowRunTest::FilterPatternsIgnoreCase() {
  // "*.*" also lists files without a point in their name.
  for (const auto& [pattern, name, listed] : {std::tuple{"*.bin", "DATA.BIN", true},
                                              {"*.bin", "data.hex", false},
                                              {"*.*", "README", true}}) {
    const QString entry = FilterEntry("*.X Text", pattern);
    const QString wildcard = entry.mid(entry.lastIndexOf('(') + 1).chopped(1);
    QVERIFY2(QRegularExpression::fromWildcard(wildcard, Qt::CaseSensitive).match(name).hasMatch() ==
                 listed,
             qPrintable(entry + " " + name));
  }
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
  // The loaded range is marked: lines 0 to 9 (0x94 lies in line 9).
  const QList<QTextEdit::ExtraSelection> marks = view->dump()->extraSelections();
  QCOMPARE(marks.size(), 1);
  QCOMPARE(marks[0].cursor.selectedText(), lines.mid(0, 10).join(QChar(0x2029)));

  AnswerFileDialog(*m_answerer, 5, QStringLiteral("copy"));  // Motorola S1
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
