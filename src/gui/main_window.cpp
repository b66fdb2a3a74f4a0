#include "gui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMoveEvent>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>
#include <ctime>

#include "commands/convert.h"
#include "gui/app_icon.h"
#include "gui/busy_window.h"
#include "gui/file_dialogs.h"
#include "gui/hex_view_window.h"
#include "gui/info_windows.h"
#include "gui/preferences_dialog.h"
#include "services/services.h"
#include "ui/main_dialog.h"
#include "ui/operation_log.h"
#include "ui/runtime.h"
#include "ui/window_texts.h"

namespace zivivar {

namespace {

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

}  // namespace

MainWindow::MainWindow()
    : QDialog(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_units(font()) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(Text(kApplicationTitle));
  setWindowIcon(ApplicationIcon());

  // Created in template order, which is also the tab order; each frame comes
  // before the boxes it surrounds, so that it lies beneath them.
  m_status = new QLabel(Text(kIdleStatus), this);
  m_layout.Add(m_status, QRect(6, 4, 252, 8));
  m_controls[Control::kStatusLine] = m_status;

  m_progress = new QProgressBar(this);
  m_progress->setRange(0, 1);
  m_progress->setValue(0);
  m_progress->setTextVisible(false);
  m_layout.Add(m_progress, QRect(4, 14, 256, 10));
  m_controls[Control::kProgressBar] = m_progress;

  AddButton(Control::kBlankCheckButton, "Leertest", QRect(4, 30, 50, 12));
  AddButton(Control::kReadOutButton, "Auslesen", QRect(58, 30, 50, 12));
  QPushButton* program = AddButton(Control::kProgramButton, "Brennen", QRect(4, 46, 50, 12));
  AddButton(Control::kVerifyButton, "Prüfen", QRect(58, 46, 50, 12));

  m_fileName = new QLineEdit(this);
  m_fileName->setObjectName(QStringLiteral("fileName"));
  m_fileName->setReadOnly(true);
  m_layout.Add(m_fileName, QRect(4, 62, 104, 12));
  m_controls[Control::kFileNameField] = m_fileName;

  AddButton(Control::kNewFileButton, "Neue Datei", QRect(4, 78, 50, 12));
  AddButton(Control::kPrefsButton, "Prefs", QRect(58, 78, 50, 12));
  AddButton(Control::kEraseButton, "Löschen", QRect(58, 94, 50, 12));
  m_cancel = AddButton(Control::kCancelButton, "Abbrechen", QRect(30, 118, 50, 12));

  m_manufacturers = AddList(Control::kManufacturerList, QRect(115, 30, 145, 100));
  m_devices = AddList(Control::kDeviceList, QRect(116, 46, 145, 85));

  m_optionsFrame = new QGroupBox(Text("Optionen"), this);
  m_layout.Add(m_optionsFrame, QRect(116, 62, 90, 48));
  AddCheckBox(Control::kVerifyBox, "Baustein prüfen", QRect(122, 71, 65, 10));
  AddCheckBox(Control::kFFSaveBox, "Leerzellen speichern", QRect(122, 82, 80, 10));
  AddCheckBox(Control::kChecksumBox, "Checksummen prüfen", QRect(122, 94, 82, 10));

  m_picture = new QLabel(this);
  m_picture->setObjectName(QStringLiteral("decoration"));
  m_picture->setFrameStyle(QFrame::Box | QFrame::Plain);
  m_picture->setAlignment(Qt::AlignCenter);
  m_picture->setPixmap(QPixmap(QStringLiteral(":/pictures/decoration.png")));
  m_layout.Add(m_picture, QRect(210, 64, 51, 47));

  m_lockFrame = new QGroupBox(Text("Schutzbits"), this);
  m_layout.Add(m_lockFrame, QRect(116, 114, 146, 22));
  AddCheckBox(Control::kLock1Box, "Lock1", QRect(122, 122, 36, 10));
  AddCheckBox(Control::kLock2Box, "Lock2", QRect(170, 122, 36, 10));
  AddCheckBox(Control::kLock3Box, "Lock3", QRect(218, 122, 36, 10));

  m_units = m_layout.Apply(font());
  // The frames' titles are taller here than in the layout's first home.
  FitFrameAround(*m_optionsFrame, {control(Control::kVerifyBox), control(Control::kFFSaveBox),
                                   control(Control::kChecksumBox)});
  FitFrameAround(*m_lockFrame, {control(Control::kLock1Box), control(Control::kLock2Box),
                                control(Control::kLock3Box)});
  // The client area is 266 x 138 units; the window cannot be resized.
  setFixedSize(m_units.ToPixelsX(266), m_units.ToPixelsY(138));
  for (QComboBox* list : {m_manufacturers, m_devices}) {
    // The unit height is that of the open list; the rest below the closed box
    // tells how many entries the open list shows.
    const int open_height = list == m_manufacturers ? 100 : 85;
    const int item_height = QFontMetrics(font()).height() + 2;
    const int drop_pixels = m_units.ToPixelsY(open_height) - list->height();
    list->setMaxVisibleItems(drop_pixels > item_height ? drop_pixels / item_height : 1);
  }

  // Only "Brennen" answers the Enter key: the other buttons must not take the
  // default role when they get the focus.
  for (auto& [id, widget] : m_controls) {
    if (auto* button = qobject_cast<QPushButton*>(widget))
      button->setAutoDefault(false);
  }
  program->setDefault(true);
  program->setAutoDefault(true);
  // In a list, Enter only confirms the typed entry: a name typed into a list
  // must not start programming the chip.
  m_manufacturers->installEventFilter(this);
  m_devices->installEventFilter(this);

  setAcceptDrops(true);
  ConnectEvents();
  AddContextMenu();
}

MainWindow::~MainWindow() = default;

void MainWindow::Attach(MainDialog& logic, Runtime& runtime) {
  m_logic = &logic;
  m_runtime = &runtime;
  m_settings = &runtime.edit_settings();
}

QWidget* MainWindow::picture() const {
  return m_picture;
}

void MainWindow::ShowModeTexts() {
  const bool demo = m_logic != nullptr && m_logic->demo_mode();
  setWindowTitle(QString::fromStdString(WindowTitleText(demo)));
  // Only the idle text changes; a command's last word stays.
  const QString status = m_status->text();
  if (status == QString::fromStdString(IdleStatusText(false)) ||
      status == QString::fromStdString(IdleStatusText(true))) {
    m_status->setText(QString::fromStdString(IdleStatusText(demo)));
  }
}

void MainWindow::ShowAndActivate() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

void MainWindow::AddContextMenu() {
  // The dialog's layout has no room for more buttons: the extras hang on the
  // chip picture's context menu, the hex view also on a key.
  m_picture->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_picture, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("Speicherinhalt anzeigen"), QKeySequence(Qt::CTRL | Qt::Key_H),
                   this, [this] { OpenHexView(); });
    menu.addAction(QStringLiteral("Protokoll anzeigen"), this, [this] { OpenOperationLog(); });
    menu.addSeparator();
    menu.addAction(QString::fromUtf8("Über zivivar"), this, [this] {
      if (m_runtime != nullptr)
        ShowAboutBox(*m_runtime, operationLogPath(), this);
    });
    menu.exec(m_picture->mapToGlobal(at));
  });
  auto* hex_key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
  connect(hex_key, &QShortcut::activated, this, [this] { OpenHexView(); });
}

HexViewWindow* MainWindow::OpenHexView() {
  if (m_runtime == nullptr || m_logic == nullptr || m_logic->BusyWindowExists() ||
      m_settings->data_file_path.empty()) {
    return nullptr;
  }
  // The file is read as "Brennen" reads it, so the view shows what would be
  // programmed; after a read-out the current file is the one written.
  const ImageBuffer& image = m_runtime->image();
  const FileCommandResult loaded =
      LoadCodeFile(m_runtime->services(), m_runtime->image(), m_runtime->device(),
                   m_settings->data_file_path, m_runtime->data_file_options());
  // The format recognised is the current one, as after "Brennen".
  if (loaded.data_format)
    m_settings->DataFormat = *loaded.data_format;
  if (loaded.result != CommandResult::kOk)
    return nullptr;
  HexDumpRange range;
  if (image.loaded_byte_count > 0)
    range.end = image.highest_loaded_address + 1;
  auto* view = new HexViewWindow(
      *m_runtime, range,
      QStringLiteral("Speicherinhalt - %1").arg(QString::fromStdString(m_settings->data_file_name)),
      this);
  view->show();
  return view;
}

QDialog* MainWindow::OpenOperationLog() {
  return OpenOperationLogWindow(operationLogPath(), this);
}

QString MainWindow::operationLogPath() const {
  return QString::fromStdString(OperationLogPath());
}

void MainWindow::RunCommand(const char* name, bool with_file,
                            const std::function<CommandResult()>& command) {
  if (m_logic == nullptr)
    return;
  const CommandResult result = command();
  // A click while a command runs starts nothing, so there is nothing to record.
  if (result != CommandResult::kBusy) {
    const std::string file = with_file ? m_settings->data_file_path : std::string();
    AppendOperationLogLine(
        OperationLogPath(),
        OperationLogLine(std::time(nullptr), m_devices->currentText().toStdString(), name, file,
                         result));
  }
  ShowModeTexts();
}

std::optional<QString> MainWindow::DraggedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
      !data->urls().front().isLocalFile()) {
    return std::nullopt;
  }
  const QString path = data->urls().front().toLocalFile();
  if (!QFileInfo(path).isFile())
    return std::nullopt;
  return path;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (m_logic != nullptr && !m_logic->BusyWindowExists() && DraggedFile(event->mimeData()))
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::optional<QString> path = DraggedFile(event->mimeData());
  if (m_logic == nullptr || m_logic->BusyWindowExists() || !path)
    return;
  event->acceptProposedAction();
  // The dropped file answers the open dialog of "Neue Datei", so it takes
  // the same way into the settings.
  m_droppedFile = path;
  m_logic->ChooseDataFile();
  m_droppedFile.reset();
}

QPushButton* MainWindow::AddButton(Control id, const char* caption, QRect units) {
  auto* button = new QPushButton(Text(caption), this);
  button->setObjectName(QStringLiteral("control%1").arg(static_cast<int>(id)));
  m_layout.Add(button, units, DialogLayout::Fit::kCaption);
  m_controls[id] = button;
  return button;
}

QCheckBox* MainWindow::AddCheckBox(Control id, const char* caption, QRect units) {
  auto* box = new QCheckBox(Text(caption), this);
  box->setObjectName(QStringLiteral("control%1").arg(static_cast<int>(id)));
  m_layout.Add(box, units, DialogLayout::Fit::kCaption);
  m_controls[id] = box;
  return box;
}

QComboBox* MainWindow::AddList(Control id, QRect units) {
  auto* combo = new QComboBox(this);
  combo->setObjectName(QStringLiteral("control%1").arg(static_cast<int>(id)));
  // A list with an edit field: typing never adds entries, since an entry's
  // position is the index stored in the settings.
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setDuplicatesEnabled(true);
  m_layout.Add(combo, units, DialogLayout::Fit::kOwnHeight);
  m_controls[id] = combo;
  return combo;
}

QWidget* MainWindow::control(Control id) const {
  const auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : it->second;
}

QComboBox* MainWindow::list(Control id) const {
  return qobject_cast<QComboBox*>(control(id));
}

void MainWindow::ConnectEvents() {
  auto button = [this](Control id) { return qobject_cast<QPushButton*>(control(id)); };
  auto box = [this](Control id) { return qobject_cast<QCheckBox*>(control(id)); };

  connect(button(Control::kBlankCheckButton), &QPushButton::clicked, this, [this] {
    RunCommand("Leertest", false, [this] { return m_logic->BlankCheckCommand(); });
  });
  connect(button(Control::kReadOutButton), &QPushButton::clicked, this,
          [this] { RunCommand("Auslesen", true, [this] { return m_logic->ReadOutCommand(); }); });
  connect(button(Control::kProgramButton), &QPushButton::clicked, this,
          [this] { RunCommand("Brennen", true, [this] { return m_logic->ProgramCommand(); }); });
  connect(button(Control::kVerifyButton), &QPushButton::clicked, this,
          [this] { RunCommand("Prüfen", true, [this] { return m_logic->VerifyCommand(); }); });
  connect(button(Control::kEraseButton), &QPushButton::clicked, this,
          [this] { RunCommand("Löschen", false, [this] { return m_logic->EraseCommand(); }); });
  connect(button(Control::kNewFileButton), &QPushButton::clicked, this, [this] {
    if (m_logic)
      m_logic->OnNewFileClicked();
  });
  connect(button(Control::kPrefsButton), &QPushButton::clicked, this, [this] {
    if (m_logic == nullptr)
      return;
    // A port that cannot be had after the change puts the run into demo mode.
    m_logic->OnPrefsClicked();
    ShowModeTexts();
  });
  connect(m_cancel, &QPushButton::clicked, this, [this] {
    if (m_logic)
      m_logic->OnCancelClicked();
  });

  connect(box(Control::kVerifyBox), &QCheckBox::clicked, this, [this](bool checked) {
    if (m_logic)
      m_logic->OnVerifyBoxClicked(checked);
  });
  connect(box(Control::kFFSaveBox), &QCheckBox::clicked, this, [this](bool checked) {
    if (m_logic)
      m_logic->OnFFSaveBoxClicked(checked);
  });
  connect(box(Control::kChecksumBox), &QCheckBox::clicked, this, [this](bool checked) {
    if (m_logic)
      m_logic->OnChecksumBoxClicked(checked);
  });
  connect(box(Control::kLock1Box), &QCheckBox::clicked, this, [this](bool checked) {
    if (m_logic)
      m_logic->OnLockClicked(1, checked);
  });
  connect(box(Control::kLock2Box), &QCheckBox::clicked, this, [this](bool checked) {
    if (m_logic)
      m_logic->OnLockClicked(2, checked);
  });
  connect(box(Control::kLock3Box), &QCheckBox::clicked, this, [this](bool checked) {
    if (m_logic)
      m_logic->OnLockClicked(3, checked);
  });

  // activated: only the user's choices, never the lists' own refills.
  connect(m_manufacturers, &QComboBox::activated, this, [this](int index) {
    if (m_logic)
      m_logic->OnManufacturerSelected(index);
  });
  connect(m_devices, &QComboBox::activated, this, [this](int index) {
    if (m_logic)
      m_logic->OnDeviceSelected(index);
  });
}

void MainWindow::EnableControl(Control id, bool enabled) {
  if (QWidget* widget = control(id))
    widget->setEnabled(enabled);
}

bool MainWindow::IsControlEnabled(Control id) const {
  const QWidget* widget = control(id);
  return widget != nullptr && widget->isEnabled();
}

void MainWindow::SetChecked(Control id, bool checked) {
  if (auto* box = qobject_cast<QCheckBox*>(control(id)))
    box->setChecked(checked);
}

bool MainWindow::IsChecked(Control id) const {
  const auto* box = qobject_cast<const QCheckBox*>(control(id));
  return box != nullptr && box->isChecked();
}

void MainWindow::SetFileNameText(const std::string& text) {
  m_fileName->setText(QString::fromStdString(text));
  m_fileName->setCursorPosition(0);
}

void MainWindow::FillList(Control id, const std::vector<ListEntry>& entries, int selection) {
  QComboBox* combo = list(id);
  if (combo == nullptr)
    return;
  combo->clear();
  for (const ListEntry& entry : entries) {
    combo->addItem(QString::fromStdString(entry.text), QVariant::fromValue(entry.item_data));
  }
  combo->setCurrentIndex(selection >= 0 && selection < combo->count() ? selection : -1);
}

int MainWindow::ListSelection(Control id) const {
  const QComboBox* combo = list(id);
  return combo == nullptr ? -1 : combo->currentIndex();
}

uint32_t MainWindow::ListItemData(Control id, int index) const {
  const QComboBox* combo = list(id);
  if (combo == nullptr || index < 0 || index >= combo->count())
    return 0;
  return combo->itemData(index).toUInt();
}

void MainWindow::CreateBusyWindow(int, int) {
  // The logic's place is a fixed offset drawn for another font; the window
  // goes over the chip picture instead, the one place that holds no control.
  if (!m_busy)
    m_busy = std::make_unique<BusyWindow>();
  m_busy->ShowOver(QRect(m_picture->mapToGlobal(QPoint(0, 0)), m_picture->size()));
}

void MainWindow::DestroyBusyWindow() {
  m_busy.reset();
}

FileDialogResult MainWindow::RunOpenDialog(const FileDialogRequest& request) {
  if (!m_droppedFile)
    return RunFileDialog(this, FileDialogMode::kOpen, request);
  // A dropped file, checked as the dialog checks what it accepts.
  const QFileInfo file(*m_droppedFile);
  FileDialogResult result;
  result.accepted = request.file_must_exist ? file.isFile() : true;
  result.path = file.absoluteFilePath().toStdString();
  result.file_name = file.fileName().toStdString();
  result.filter = request.selected_filter;
  return result;
}

FileDialogResult MainWindow::RunSaveDialog(const FileDialogRequest& request) {
  return RunFileDialog(this, FileDialogMode::kSave, request);
}

bool MainWindow::RunPreferencesDialog() {
  if (m_settings == nullptr)
    return false;
  PreferencesDialog dialog(*m_settings, this);
  return dialog.exec() == QDialog::Accepted;
}

WindowRect MainWindow::GetWindowRect() const {
  const QRect frame = frameGeometry();
  return WindowRect{frame.x(), frame.y(), frame.width(), frame.height()};
}

void MainWindow::MoveWindow(const WindowRect& rect) {
  // The window has a fixed size, so only the position can change; a window
  // that the desktop maximised anyway goes back to its normal state first.
  if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
  }
  move(rect.x, rect.y);
}

void MainWindow::Repaint() {
  repaint();
}

void MainWindow::reject() {
  if (!m_closeAccepted && m_logic != nullptr && !m_logic->OnCancelKey())
    return;
  m_closeAccepted = false;
  QDialog::reject();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (m_logic != nullptr && !m_logic->OnCloseRequest()) {
    event->ignore();
    return;
  }
  // QDialog turns the close into reject(), which must not ask again.
  m_closeAccepted = true;
  QDialog::closeEvent(event);
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  // The position of the client area, which the settings keep.
  if (m_logic != nullptr)
    m_logic->OnMoved(geometry().x(), geometry().y());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == m_manufacturers || watched == m_devices) && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    // The edit field has taken the entry by now; the key goes no further.
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
      return true;
  }
  return QDialog::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || m_logic == nullptr)
    return;
  const auto* change = static_cast<QWindowStateChangeEvent*>(event);
  const Qt::WindowStates now = windowState();
  if (now & Qt::WindowMinimized) {
    if (!(change->oldState() & Qt::WindowMinimized)) {
      // The logic keeps the position from before the move that minimising
      // makes; this desktop leaves a minimised window in place, so report
      // that move as one to where the window already is.
      m_logic->OnMoved(geometry().x(), geometry().y());
      m_logic->OnSizeChanged(SizeChange::kMinimized);
    }
  } else if (now & Qt::WindowMaximized) {
    m_logic->OnSizeChanged(SizeChange::kMaximized);
  } else {
    m_logic->OnSizeChanged(SizeChange::kRestored);
  }
}

}  // namespace zivivar
