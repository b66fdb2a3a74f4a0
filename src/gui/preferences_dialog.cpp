#include "gui/preferences_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "gui/dialog_units.h"
#include "services/services.h"

namespace zivivar {

namespace {

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

std::string Typed(const QWidget* widget) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
    return edit->text().toStdString();
  if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
    return combo->currentText().toStdString();
  }
  return {};
}

bool Checked(const QWidget* widget) {
  const auto* box = qobject_cast<const QCheckBox*>(widget);
  return box != nullptr && box->isChecked();
}

}  // namespace

PreferencesDialog::PreferencesDialog(Settings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_settings(settings) {
  setObjectName(QStringLiteral("preferencesDialog"));
  setWindowTitle(Text(kPreferencesTitle));
  DialogLayout layout;
  for (const PreferencesControl& control : kPreferencesControls) {
    const QRect units(control.x, control.y, control.width, control.height);
    QWidget* widget = nullptr;
    DialogLayout::Fit fit = DialogLayout::Fit::kCaption;
    switch (control.kind) {
      case PreferencesControl::kLabel:
        widget = new QLabel(Text(control.text), this);
        break;
      case PreferencesControl::kPortList: {
        auto* combo = new QComboBox(this);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        for (const char* entry : kPortAddressEntries)
          combo->addItem(Text(entry));
        widget = combo;
        fit = DialogLayout::Fit::kOwnHeight;
        break;
      }
      case PreferencesControl::kNumber:
        widget = new QLineEdit(this);
        fit = DialogLayout::Fit::kNone;
        break;
      case PreferencesControl::kCheckBox:
        widget = new QCheckBox(Text(control.text), this);
        break;
      case PreferencesControl::kOkButton:
        m_ok = new QPushButton(Text(control.text), this);
        widget = m_ok;
        break;
      case PreferencesControl::kCancelButton:
        m_cancel = new QPushButton(Text(control.text), this);
        widget = m_cancel;
        break;
    }
    layout.Add(widget, units, fit);
    if (control.field != kNoField) {
      widget->setObjectName(QStringLiteral("field%1").arg(static_cast<int>(control.field)));
      m_fields[control.field] = widget;
    }
  }
  const DialogUnits units = layout.Apply(font());
  setFixedSize(units.ToPixelsX(kPreferencesWidth), units.ToPixelsY(kPreferencesHeight));

  m_ok->setObjectName(QStringLiteral("okButton"));
  m_cancel->setObjectName(QStringLiteral("cancelButton"));
  m_cancel->setAutoDefault(false);
  m_ok->setDefault(true);
  connect(m_ok, &QPushButton::clicked, this, &PreferencesDialog::accept);
  connect(m_cancel, &QPushButton::clicked, this, &PreferencesDialog::reject);

  Fill(PreferencesFromSettings(settings));
}

void PreferencesDialog::Fill(const PreferencesInput& input) {
  auto set_text = [this](PreferencesField id, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(field(id)))
      edit->setText(value);
    if (auto* combo = qobject_cast<QComboBox*>(field(id)))
      combo->setEditText(value);
  };
  auto set_checked = [this](PreferencesField id, bool checked) {
    if (auto* box = qobject_cast<QCheckBox*>(field(id)))
      box->setChecked(checked);
  };
  set_text(kPortAddressField, input.port_address);
  set_text(kTimeOutField, input.time_out);
  set_text(kTimeBaseKorrField, input.timebase_korr);
  set_text(kHexLineLenField, input.hex_line_len);
  set_checked(kMessageBeapField, input.message_beap);
  set_checked(kEndMessageField, input.end_message);
  set_checked(kFastProfileField, input.fast_profile);
}

QWidget* PreferencesDialog::field(PreferencesField id) const {
  const auto it = m_fields.find(id);
  return it == m_fields.end() ? nullptr : it->second;
}

PreferencesInput PreferencesDialog::Input() const {
  PreferencesInput input;
  input.port_address = Typed(field(kPortAddressField));
  input.time_out = Typed(field(kTimeOutField));
  input.timebase_korr = Typed(field(kTimeBaseKorrField));
  input.hex_line_len = Typed(field(kHexLineLenField));
  input.message_beap = Checked(field(kMessageBeapField));
  input.end_message = Checked(field(kEndMessageField));
  input.fast_profile = Checked(field(kFastProfileField));
  return input;
}

void PreferencesDialog::accept() {
  const PreferencesCheck check = CheckPreferences(Input());
  if (!check.accepted) {
    QMessageBox::warning(this, Text(kApplicationTitle), QString::fromStdString(check.message));
    if (QWidget* refused = field(check.field)) {
      refused->setFocus(Qt::OtherFocusReason);
      if (auto* edit = qobject_cast<QLineEdit*>(refused))
        edit->selectAll();
      if (auto* combo = qobject_cast<QComboBox*>(refused))
        combo->lineEdit()->selectAll();
    }
    return;
  }
  ApplyPreferences(check.values, m_settings);
  QDialog::accept();
}

}  // namespace zivivar
