// The open and save dialogs as the logic asks for them, run and answered.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

#include "gui/file_dialogs.h"
#include "modal_answerer.h"
#include "support/temp_dir.h"

namespace zivivar {

using testing::ModalAnswerer;
using testing::TempDir;

namespace {

FileDialogRequest SaveRequest(const std::string& directory) {
  FileDialogRequest request;
  request.filters = {{"*.* Alle Dateien", "*.*"},
                     {"*.BIN Binär", "*.bin"},
                     {"*.HEX Intel8", "*.hex"},
                     {"*.HEX Intel32", "*.hex"},
                     {"*.HEX IntelMCS", "*.hex"}};
  request.selected_filter = 3;
  request.initial_directory = directory;
  request.proposed_name = "firmware";
  request.default_extension = "hex";
  request.confirm_overwrite = true;
  return request;
}

FileDialogRequest OpenRequest(const std::string& directory) {
  FileDialogRequest request;
  request.filters = {{"*.* Alle Dateien", "*.*"},
                     {"*.BIN Binär-Dateien", "*.bin"},
                     {"*.HEX Hex-Dateien", "*.hex"},
                     {"*.IHX SDCC Intel Hex", "*.ihx"},
                     {"*.S19 SDCC Motorola Hex", "*.s19"}};
  request.selected_filter = 4;
  request.initial_directory = directory;
  request.file_must_exist = true;
  return request;
}

// The pattern part of a filter entry, "text (pattern)".
QString PatternOf(const QString& entry) {
  const qsizetype open = entry.lastIndexOf(QLatin1Char('('));
  return entry.mid(open + 1, entry.size() - open - 2);
}

bool Matches(const QString& pattern, const QString& name) {
  return QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive).match(name).hasMatch();
}

// Types name into the dialog's name field and confirms, as a user would.
void TypeAndAccept(QDialog& dialog, const QString& name) {
  auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  QVERIFY(edit != nullptr);
  edit->setText(name);
  dialog.accept();
}

}  // namespace

class FileDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void PatternsIgnoreCaseAndAllFilesMeansAll();
  void SaveDialogAddsTheDefaultExtensionAndTellsTheFilter();
  void CancelledDialogReturnsNothing();
};

void FileDialogsTest::PatternsIgnoreCaseAndAllFilesMeansAll() {
  const QString bin = PatternOf(FilterEntry("*.BIN Binär", "*.bin"));
  QVERIFY(Matches(bin, "data.bin"));
  QVERIFY(Matches(bin, "DATA.BIN"));
  QVERIFY(!Matches(bin, "data.hex"));
  const QString ihx = PatternOf(FilterEntry("*.IHX SDCC Intel Hex", "*.ihx"));
  QVERIFY(Matches(ihx, "main.ihx"));
  QVERIFY(Matches(ihx, "MAIN.IHX"));
  // "*.*" also lists files without a point in their name.
  const QString all = PatternOf(FilterEntry("*.* Alle Dateien", "*.*"));
  QVERIFY(Matches(all, "README"));
  QVERIFY(Matches(all, "a.hex"));
}

void FileDialogsTest::SaveDialogAddsTheDefaultExtensionAndTellsTheFilter() {
  TempDir dir;
  ModalAnswerer answerer;
  bool set_up = false;
  answerer.QueueDialog([&set_up](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    // Opened as asked: the format preselected, the name proposed, the
    // overwrite question on, the entries showing their text alone.
    auto* edit = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* types = files.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    set_up = files.acceptMode() == QFileDialog::AcceptSave && types->currentIndex() == 2 &&
             types->itemText(1) == QString::fromUtf8("*.BIN Binär") &&
             edit->text() == QStringLiteral("firmware") &&
             !files.testOption(QFileDialog::DontConfirmOverwrite);
    files.selectNameFilter(files.nameFilters()[3]);  // "*.HEX Intel32"
    TypeAndAccept(dialog, QStringLiteral("daten"));
  });
  const FileDialogResult result =
      RunFileDialog(nullptr, FileDialogMode::kSave, SaveRequest(dir.path()));
  QVERIFY(set_up);
  QVERIFY(result.accepted);
  QCOMPARE(result.filter, 4);
  QCOMPARE(result.file_name, std::string("daten.hex"));
  QCOMPARE(result.path, dir.File("daten.hex"));
}

void FileDialogsTest::CancelledDialogReturnsNothing() {
  TempDir dir;
  ModalAnswerer answerer;
  answerer.QueueDialog([](QDialog& dialog) { dialog.reject(); });
  const FileDialogResult result =
      RunFileDialog(nullptr, FileDialogMode::kOpen, OpenRequest(dir.path()));
  QVERIFY(!result.accepted);
  QCOMPARE(answerer.dialogs_seen, 1);
}

}  // namespace zivivar

QTEST_MAIN(zivivar::FileDialogsTest)
#include "file_dialogs_test.moc"
