#include "ui/main_dialog.h"

#include "commands/command_context.h"
#include "config/settings.h"
#include "programmer/port_link.h"
#include "services/services.h"
#include "ui/data_file_naming.h"
#include "ui/process_locks.h"
#include "ui/runtime.h"

namespace zivivar {
namespace {

// Where the busy window stands relative to the main window's stored position.
constexpr int kBusyWindowOffsetX = 314;
constexpr int kBusyWindowOffsetY = 103;

constexpr Control kCommandControls[] = {
    Control::kProgramButton, Control::kVerifyButton,     Control::kBlankCheckButton,
    Control::kReadOutButton, Control::kNewFileButton,    Control::kPrefsButton,
    Control::kEraseButton,   Control::kManufacturerList, Control::kDeviceList,
    Control::kVerifyBox,     Control::kFFSaveBox,        Control::kChecksumBox,
    Control::kLock1Box,      Control::kLock2Box,         Control::kLock3Box,
    Control::kFileNameField,
};

// "Löschen" and the lock-bit boxes are left to UpdateDeviceControls.
constexpr Control kEnabledAfterCommand[] = {
    Control::kProgramButton,    Control::kVerifyButton,  Control::kBlankCheckButton,
    Control::kReadOutButton,    Control::kNewFileButton, Control::kPrefsButton,
    Control::kManufacturerList, Control::kDeviceList,    Control::kVerifyBox,
    Control::kFFSaveBox,        Control::kChecksumBox,   Control::kFileNameField,
};

}  // namespace

MainDialog::MainDialog(Runtime& runtime, MainDialogView& view) : runtime_(runtime), view_(view) {}

void MainDialog::Initialize() {
  initial_rect_ = view_.GetWindowRect();
  runtime_.LoadSettings();
  Settings& settings = runtime_.edit_settings();
  previous_x_ = settings.XKoord;
  previous_y_ = settings.YKoord;
  view_.MoveWindow({settings.XKoord, settings.YKoord, initial_rect_.width, initial_rect_.height});

  demo_mode_ = false;
  if (!runtime_.PreparePortAccess())
    demo_mode_ = true;
  if (!demo_mode_) {
    const bool found = runtime_.port_link().SearchAdapter(
        static_cast<uint32_t>(settings.SearchHardware), [this] { EditPreferences(); },
        [this] { runtime_.SaveSettings(); });
    if (!found)
      demo_mode_ = true;
  }

  view_.SetChecked(Control::kVerifyBox, settings.Verify != 0);
  view_.SetChecked(Control::kFFSaveBox, settings.FFSave != 0);
  view_.SetChecked(Control::kChecksumBox, settings.TestChecksum != 0);
  view_.SetChecked(Control::kLock1Box, settings.Lock1 != 0);
  view_.SetChecked(Control::kLock2Box, settings.Lock2 != 0);
  view_.SetChecked(Control::kLock3Box, settings.Lock3 != 0);

  eeprom_path_ = EepromPathFor(settings.data_file_path);
  view_.SetFileNameText(settings.data_file_name);

  DeviceSelection& selection = runtime_.selection();
  const LibraryResult listed = selection.FillManufacturerList(settings.ManufIndex);
  ShowList(Control::kManufacturerList, selection.manufacturers());
  if (listed == LibraryResult::kOk)
    FillDeviceList();
  runtime_.LoadSelectedDevice();

  runtime_.services().DisableCancelButton();
  runtime_.services().ClearCancel();
}

void MainDialog::ShowList(Control list, const SelectionList& contents) {
  std::vector<ListEntry> entries;
  entries.reserve(contents.entries.size());
  for (const SelectionEntry& entry : contents.entries) {
    entries.push_back({entry.text, entry.item_data});
  }
  view_.FillList(list, entries, contents.selection);
}

void MainDialog::FillDeviceList() {
  Settings& settings = runtime_.edit_settings();
  DeviceSelection& selection = runtime_.selection();
  selection.FillDeviceList(settings.ManufIndex, settings.DeviceIndex,
                           static_cast<uint32_t>(settings.TimeBaseKorr));
  ShowList(Control::kDeviceList, selection.devices());
  UpdateDeviceControls();
}

void MainDialog::OnManufacturerSelected(int index) {
  if (index < 0)
    return;
  runtime_.edit_settings().ManufIndex = index;
  // The descriptor is loaded by the next device command, not here.
  FillDeviceList();
}

void MainDialog::OnDeviceSelected(int index) {
  if (index < 0)
    return;
  runtime_.edit_settings().DeviceIndex = index;
  runtime_.LoadSelectedDevice();
  UpdateDeviceControls();
}

void MainDialog::UpdateDeviceControls() {
  // The list's selection decides, not the descriptor: right after a list
  // fill the descriptor holds whichever record was parsed last.
  const int index = view_.ListSelection(Control::kDeviceList);
  const std::vector<SelectionEntry>& devices = runtime_.selection().devices().entries;
  const bool known = index >= 0 && static_cast<size_t>(index) < devices.size();
  const uint32_t erase_wait = known ? devices[static_cast<size_t>(index)].record.erase_wait : 0;
  view_.EnableControl(Control::kEraseButton, erase_wait != 0);
  if (index < 0)
    return;
  switch (view_.ListItemData(Control::kDeviceList, index)) {
    case 0:
      view_.EnableControl(Control::kLock1Box, false);
      view_.EnableControl(Control::kLock2Box, false);
      view_.EnableControl(Control::kLock3Box, false);
      break;
    case 1:
      view_.EnableControl(Control::kLock1Box, true);
      view_.EnableControl(Control::kLock2Box, false);
      view_.EnableControl(Control::kLock3Box, false);
      break;
    case 2:
      view_.EnableControl(Control::kLock1Box, true);
      view_.EnableControl(Control::kLock2Box, true);
      view_.EnableControl(Control::kLock3Box, false);
      break;
    case 3:
      view_.EnableControl(Control::kLock1Box, true);
      view_.EnableControl(Control::kLock2Box, true);
      view_.EnableControl(Control::kLock3Box, true);
      break;
    default:
      break;
  }
}

bool MainDialog::EditPreferences() {
  if (!view_.RunPreferencesDialog())
    return false;
  // Demo mode is never left during a run; a port that cannot be had after
  // the change enters it.
  if (!runtime_.ApplyPreferences())
    demo_mode_ = true;
  return true;
}

void MainDialog::OnCancelClicked() {
  runtime_.services().RequestCancel();
}

void MainDialog::OnLockClicked(int level, bool checked) {
  Settings& settings = runtime_.edit_settings();
  const int state = checked ? 1 : 0;
  // The levels are cumulative: checking one checks those below it, and a
  // level cannot be cleared while a higher one is set.
  switch (level) {
    case 1:
      if (settings.Lock3 == 1 || settings.Lock2 == 1) {
        settings.Lock1 = 1;
        view_.SetChecked(Control::kLock1Box, true);
      } else {
        settings.Lock1 = state;
      }
      break;
    case 2:
      if (settings.Lock3 == 1) {
        settings.Lock2 = 1;
        view_.SetChecked(Control::kLock2Box, true);
      } else {
        settings.Lock2 = state;
        if (state == 1) {
          settings.Lock1 = 1;
          view_.SetChecked(Control::kLock1Box, true);
        }
      }
      break;
    case 3:
      settings.Lock3 = state;
      if (state == 1) {
        settings.Lock2 = 1;
        view_.SetChecked(Control::kLock2Box, true);
        settings.Lock1 = 1;
        view_.SetChecked(Control::kLock1Box, true);
      }
      break;
    default:
      break;
  }
}

void MainDialog::OnVerifyBoxClicked(bool checked) {
  runtime_.edit_settings().Verify = checked ? 1 : 0;
}

void MainDialog::OnFFSaveBoxClicked(bool checked) {
  runtime_.edit_settings().FFSave = checked ? 1 : 0;
}

void MainDialog::OnChecksumBoxClicked(bool checked) {
  runtime_.edit_settings().TestChecksum = checked ? 1 : 0;
}

void MainDialog::OnMoved(int x, int y) {
  Settings& settings = runtime_.edit_settings();
  previous_x_ = settings.XKoord;
  previous_y_ = settings.YKoord;
  settings.XKoord = x;
  settings.YKoord = y;
}

void MainDialog::OnSizeChanged(SizeChange change) {
  Settings& settings = runtime_.edit_settings();
  // The window has no size of its own to keep: maximising puts it back, and
  // the move into the minimised state must not become the stored position.
  if (change == SizeChange::kMaximized) {
    settings.XKoord = previous_x_;
    settings.YKoord = previous_y_;
    view_.MoveWindow({previous_x_, previous_y_, initial_rect_.width, initial_rect_.height});
  } else if (change == SizeChange::kMinimized) {
    settings.XKoord = previous_x_;
    settings.YKoord = previous_y_;
  }
}

bool MainDialog::OnCloseRequest() {
  if (BusyWindowExists())
    return false;
  Settings& settings = runtime_.edit_settings();
  const WindowRect rect = view_.GetWindowRect();
  settings.XKoord = rect.x;
  settings.YKoord = rect.y;
  runtime_.SaveSettings();
  if (settings.EndMessage > 0)
    runtime_.services().ShowMessage(kEndMessage);
  return true;
}

void MainDialog::DisableCommandControls() {
  for (Control control : kCommandControls)
    view_.EnableControl(control, false);
}

void MainDialog::EnableCommandControls() {
  for (Control control : kEnabledAfterCommand)
    view_.EnableControl(control, true);
  UpdateDeviceControls();
}

bool MainDialog::BusyWindowExists() const {
  return busy_window_ || runtime_.locks().CommandRunsElsewhere();
}

void MainDialog::CreateBusyWindow() {
  const Settings& settings = runtime_.settings();
  // The window is shown even when the lock cannot be had: the lock only
  // extends the rule to other copies.
  runtime_.locks().AcquireCommandLocks();
  busy_window_ = true;
  view_.CreateBusyWindow(settings.XKoord + kBusyWindowOffsetX,
                         settings.YKoord + kBusyWindowOffsetY);
}

void MainDialog::DestroyBusyWindow() {
  view_.DestroyBusyWindow();
  busy_window_ = false;
  runtime_.locks().ReleaseCommandLocks();
}

void MainDialog::CommonEnd() {
  FinishCommand(runtime_.services());
  DestroyBusyWindow();
}

}  // namespace zivivar
