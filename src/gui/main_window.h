// The main window: builds the controls at their dialog-unit positions,
// forwards every event to the dialog logic and shows what the logic tells it.
// It holds no rules of its own.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

#include "commands/command_result.h"
#include "gui/dialog_units.h"
#include "ui/main_dialog_view.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QProgressBar;
class QPushButton;

namespace zivivar {

class BusyWindow;
class HexViewWindow;
class MainDialog;
class Runtime;
struct Settings;

class MainWindow : public QDialog, public MainDialogView {
  Q_OBJECT

 public:
  // A top-level window with caption, system menu and close box, no minimise
  // or maximise box. Events are ignored until Attach.
  MainWindow();
  ~MainWindow() override;

  // Connects the window to its logic and to the run's owner, whose settings
  // the preferences dialog edits. Both must outlive the window.
  void Attach(MainDialog& logic, Runtime& runtime);

  // The controls that the services drive.
  QLabel* statusLine() const { return m_status; }
  QProgressBar* progressBar() const { return m_progress; }
  QPushButton* cancelButton() const { return m_cancel; }
  // Any control by its identifier; for the services and for tests.
  QWidget* control(Control id) const;
  // The busy window while it exists, else nullptr.
  BusyWindow* busyWindow() const { return m_busy.get(); }
  const DialogUnits& units() const { return m_units; }
  // The chip picture, whose place the busy window takes and whose context
  // menu opens the hex view, the log and the About box.
  QWidget* picture() const;

  // The title and the idle status text as the logic's mode asks (demo mode
  // says so in both). Called after the start-up and after every command.
  void ShowModeTexts();
  // The hex view of the current data file (loaded into the image buffer as
  // for programming), or nullptr when no file is set, it cannot be loaded or
  // a command runs. The window deletes itself when closed.
  HexViewWindow* OpenHexView();
  // The operation log's window.
  QDialog* OpenOperationLog();
  // Where the finished commands are recorded.
  QString operationLogPath() const;

 public slots:
  // What a second copy asks for: the window restored, raised and activated.
  void ShowAndActivate();

 public:
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
  // A data file dropped on the window becomes the current data file, as
  // "Neue Datei" would make it.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Each control is created here and placed, in dialog units, once all exist.
  QPushButton* AddButton(Control id, const char* caption, QRect units);
  QCheckBox* AddCheckBox(Control id, const char* caption, QRect units);
  QComboBox* AddList(Control id, QRect units);
  QComboBox* list(Control id) const;
  void ConnectEvents();
  void AddContextMenu();
  // Runs a device command and records its end in the operation log; name is
  // the button's caption, with_file whether the data file takes part.
  void RunCommand(const char* name, bool with_file, const std::function<CommandResult()>& command);
  // The local file that a drag carries, if it carries exactly one file.
  static std::optional<QString> DraggedFile(const QMimeData* data);

  DialogLayout m_layout;
  DialogUnits m_units;
  MainDialog* m_logic = nullptr;
  Settings* m_settings = nullptr;
  Runtime* m_runtime = nullptr;
  // Set while a drop stands in for the open dialog of "Neue Datei".
  std::optional<QString> m_droppedFile;
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
