// The main window: builds the controls at their dialog-unit positions,
// forwards every event to the dialog logic and shows what the logic tells it.
// It holds no rules of its own.
#pragma once

#include <QDialog>
#include <memory>
#include <unordered_map>

#include "gui/dialog_units.h"
#include "ui/main_dialog_view.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace zivivar {

class BusyWindow;
class MainDialog;
struct Settings;

class MainWindow : public QDialog, public MainDialogView {
  Q_OBJECT

 public:
  // A top-level window with caption, system menu and close box, no minimise
  // or maximise box. Events are ignored until Attach.
  MainWindow();
  ~MainWindow() override;

  // Connects the window to its logic and to the settings that the preferences
  // dialog edits. Both must outlive the window.
  void Attach(MainDialog& logic, Settings& settings);

  // The controls that the services drive.
  QLabel* statusLine() const { return m_status; }
  QProgressBar* progressBar() const { return m_progress; }
  QPushButton* cancelButton() const { return m_cancel; }
  // Any control by its identifier; for the services and for tests.
  QWidget* control(Control id) const;
  // The busy window while it exists, else nullptr.
  BusyWindow* busyWindow() const { return m_busy.get(); }
  const DialogUnits& units() const { return m_units; }

  // MainDialogView
  void EnableControl(Control control, bool enabled) override;
  bool IsControlEnabled(Control control) const override;
  void SetChecked(Control control, bool checked) override;
  bool IsChecked(Control control) const override;
  void SetFileNameText(const std::string& text) override;
  void FillList(Control list, const std::vector<ListEntry>& entries, int selection) override;
  int ListSelection(Control list) const override;
  uint32_t ListItemData(Control list, int index) const override;
  void CreateBusyWindow(int x, int y) override;
  void DestroyBusyWindow() override;
  FileDialogResult RunOpenDialog(const FileDialogRequest& request) override;
  FileDialogResult RunSaveDialog(const FileDialogRequest& request) override;
  bool RunPreferencesDialog() override;
  WindowRect GetWindowRect() const override;
  void MoveWindow(const WindowRect& rect) override;
  void Repaint() override;

 public slots:
  // The keyboard's cancel key (and QDialog's other ways of rejecting).
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Each control is created here and placed, in dialog units, once all exist.
  QPushButton* AddButton(Control id, const char* caption, QRect units);
  QCheckBox* AddCheckBox(Control id, const char* caption, QRect units);
  QComboBox* AddList(Control id, QRect units);
  QComboBox* list(Control id) const;
  void ConnectEvents();

  DialogLayout m_layout;
  DialogUnits m_units;
  MainDialog* m_logic = nullptr;
  Settings* m_settings = nullptr;
  std::unordered_map<Control, QWidget*> m_controls;
  QLabel* m_status = nullptr;
  QProgressBar* m_progress = nullptr;
  QPushButton* m_cancel = nullptr;
  QLineEdit* m_fileName = nullptr;
  QComboBox* m_manufacturers = nullptr;
  QComboBox* m_devices = nullptr;
  QGroupBox* m_optionsFrame = nullptr;
  QGroupBox* m_lockFrame = nullptr;
  QLabel* m_picture = nullptr;
  std::unique_ptr<BusyWindow> m_busy;
  // Set once the logic has accepted a close request, so that the rejection
  // that follows inside QDialog does not ask it a second time.
  bool m_closeAccepted = false;
};

}  // namespace zivivar
