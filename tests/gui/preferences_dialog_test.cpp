// The preferences dialog: filled from the settings, refusing a value out of
// range with the standard message while staying open, and changing the
// settings only when "OK" is accepted.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/german_translation.h"
#include "gui/preferences_dialog.h"
#include "modal_answerer.h"

namespace zivivar {

using testing::ModalAnswerer;

namespace {

void Type(PreferencesDialog& dialog, PreferencesField id, const QString& text) {
  QWidget* field = dialog.field(id);
  if (auto* edit = qobject_cast<QLineEdit*>(field))
    edit->setText(text);
  if (auto* combo = qobject_cast<QComboBox*>(field))
    combo->setEditText(text);
}

}  // namespace

class PreferencesDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallGermanTranslation(*QCoreApplication::instance()); }
  void FieldsShowTheSettings();
  void ValueOutOfRangeKeepsTheDialogOpen();
  void CancelChangesNothing();
};

void PreferencesDialogTest::FieldsShowTheSettings() {
  Settings settings;
  settings.PortAdress = 0x3bc;
  settings.TimeOut = 250000;
  settings.TimeBaseKorr = 90;
  settings.HexLineLen = 16;
  settings.MessageBeap = 0;
  settings.EndMessage = 1;
  PreferencesDialog dialog(settings, nullptr);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Einstellungen"));
  const PreferencesInput input = dialog.Input();
  QCOMPARE(input.port_address, std::string("0x3BC"));
  QCOMPARE(input.time_out, std::string("250000"));
  QCOMPARE(input.timebase_korr, std::string("90"));
  QCOMPARE(input.hex_line_len, std::string("16"));
  QVERIFY(!input.message_beap);
  QVERIFY(input.end_message);

  auto* ports = qobject_cast<QComboBox*>(dialog.field(kPortAddressField));
  QVERIFY(ports != nullptr);
  QVERIFY(ports->isEditable());
  QStringList entries;
  for (int i = 0; i < ports->count(); ++i)
    entries << ports->itemText(i);
  QCOMPARE(entries, QStringList({"0x3BC", "0x378", "0x278", "0x338", "0x238"}));
  QVERIFY(dialog.okButton()->isDefault());
}

void PreferencesDialogTest::ValueOutOfRangeKeepsTheDialogOpen() {
  Settings settings;
  const Settings before = settings;
  PreferencesDialog dialog(settings, nullptr);
  Type(dialog, kTimeBaseKorrField, "69");
  ModalAnswerer answerer;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  dialog.activateWindow();
  dialog.okButton()->click();

  QCOMPARE(answerer.boxes.size(), 1);
  QCOMPARE(answerer.boxes[0].text,
           QStringLiteral("Geben Sie eine ganze Zahl zwischen 70 und 100 ein."));
  QVERIFY(dialog.isVisible());
  QCOMPARE(dialog.result(), 0);
  QCOMPARE(dialog.focusWidget(), dialog.field(kTimeBaseKorrField));
  QCOMPARE(settings.TimeBaseKorr, before.TimeBaseKorr);

  Type(dialog, kTimeBaseKorrField, "100");
  dialog.okButton()->click();
  QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
  QCOMPARE(settings.TimeBaseKorr, 100);
}

void PreferencesDialogTest::CancelChangesNothing() {
  Settings settings;
  PreferencesDialog dialog(settings, nullptr);
  Type(dialog, kPortAddressField, "0x3BC");
  Type(dialog, kHexLineLenField, "64");
  dialog.show();
  dialog.cancelButton()->click();
  QCOMPARE(dialog.result(), static_cast<int>(QDialog::Rejected));
  QCOMPARE(settings.PortAdress, Settings().PortAdress);
  QCOMPARE(settings.HexLineLen, Settings().HexLineLen);
}

}  // namespace zivivar

QTEST_MAIN(zivivar::PreferencesDialogTest)
#include "preferences_dialog_test.moc"
