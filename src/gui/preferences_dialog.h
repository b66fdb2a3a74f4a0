// The preferences dialog "Einstellungen": shows the fields as data from the
// configuration describes them, and on "OK" hands the typed texts to its
// check. A refused field gets the standard range message and the focus, and
// the dialog stays open; an accepted one is taken into the settings.
#pragma once

#include <QDialog>
#include <map>

#include "config/preferences.h"

class QPushButton;

namespace zivivar {

class PreferencesDialog : public QDialog {
  Q_OBJECT

 public:
  // settings must outlive the dialog; they change only when "OK" is accepted.
  PreferencesDialog(Settings& settings, QWidget* parent);

  // What the fields hold now.
  PreferencesInput Input() const;
  // The control of a field, for focus checks and tests.
  QWidget* field(PreferencesField id) const;
  QPushButton* okButton() const { return m_ok; }
  QPushButton* cancelButton() const { return m_cancel; }

 public slots:
  void accept() override;

 private:
  void Fill(const PreferencesInput& input);

  Settings& m_settings;
  std::map<PreferencesField, QWidget*> m_fields;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
};

}  // namespace zivivar
