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
  void OpenDialogIsSetUpAsAsked();
  void SaveDialogIsSetUpAsAsked();
  void SaveDialogAddsTheDefaultExtensionAndTellsTheFilter();
  void OpenDialogReturnsTheChosenFile();
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

void FileDialogsTest::OpenDialogIsSetUpAsAsked() {
  TempDir dir;
  QFileDialog dialog;
  ConfigureFileDialog(dialog, FileDialogMode::kOpen, OpenRequest(dir.path()));
  QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
  QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
  QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
  QCOMPARE(dialog.nameFilters().size(), 5);
  QVERIFY(dialog.nameFilters()[0].startsWith(QStringLiteral("*.* Alle Dateien")));
  QVERIFY(dialog.nameFilters()[4].startsWith(QStringLiteral("*.S19 SDCC Motorola Hex")));
  QCOMPARE(SelectedFilterPosition(dialog, OpenRequest(dir.path())), 4);
  QCOMPARE(QDir(dialog.directory()).canonicalPath(),
           QDir(QString::fromStdString(dir.path())).canonicalPath());
  QVERIFY(dialog.defaultSuffix().isEmpty());
}

void FileDialogsTest::SaveDialogIsSetUpAsAsked() {
  TempDir dir;
  QFileDialog dialog;
  ConfigureFileDialog(dialog, FileDialogMode::kSave, SaveRequest(dir.path()));
  QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
  QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
  QCOMPARE(dialog.defaultSuffix(), QStringLiteral("hex"));
  QCOMPARE(SelectedFilterPosition(dialog, SaveRequest(dir.path())), 3);
  auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  QVERIFY(edit != nullptr);
  QCOMPARE(edit->text(), QStringLiteral("firmware"));

  // The entries show their text alone; the case-free patterns stay hidden.
  auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  QVERIFY(types != nullptr);
  QCOMPARE(types->itemText(1), QString::fromUtf8("*.BIN Binär"));

  FileDialogRequest no_question = SaveRequest(dir.path());
  no_question.confirm_overwrite = false;
  QFileDialog other;
  ConfigureFileDialog(other, FileDialogMode::kSave, no_question);
  QVERIFY(other.testOption(QFileDialog::DontConfirmOverwrite));
}

void FileDialogsTest::SaveDialogAddsTheDefaultExtensionAndTellsTheFilter() {
  TempDir dir;
  ModalAnswerer answerer;
  answerer.QueueDialog([](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    files.selectNameFilter(files.nameFilters()[3]);  // "*.HEX Intel32"
    TypeAndAccept(dialog, QStringLiteral("daten"));
  });
  const FileDialogResult result =
      RunFileDialog(nullptr, FileDialogMode::kSave, SaveRequest(dir.path()));
  QVERIFY(result.accepted);
  QCOMPARE(result.filter, 4);
  QCOMPARE(result.file_name, std::string("daten.hex"));
  QCOMPARE(result.path, dir.File("daten.hex"));
}

void FileDialogsTest::OpenDialogReturnsTheChosenFile() {
  TempDir dir;
  dir.Write("MAIN.IHX", ":00000001FF\n");
  ModalAnswerer answerer;
  answerer.QueueDialog([](QDialog& dialog) { TypeAndAccept(dialog, QStringLiteral("MAIN.IHX")); });
  const FileDialogResult result =
      RunFileDialog(nullptr, FileDialogMode::kOpen, OpenRequest(dir.path()));
  QVERIFY(result.accepted);
  QCOMPARE(result.filter, 4);
  QCOMPARE(result.file_name, std::string("MAIN.IHX"));
  QCOMPARE(result.path, dir.File("MAIN.IHX"));
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
