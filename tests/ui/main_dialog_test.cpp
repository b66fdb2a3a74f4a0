#include "ui/main_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "datafiles/data_files.h"
#include "datafiles/data_format.h"
#include "dialog_fixture.h"
#include "programmer/device_operations.h"
#include "programmer/port_link.h"

namespace zivivar {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;
using ::testing::StartsWith;

constexpr Control kLockBoxes[] = {Control::kLock1Box, Control::kLock2Box, Control::kLock3Box};

TEST_F(DialogTest, StartUpFillsTheListsWithoutFaultyRecordsAndWorksOnTheDeviceShown) {
  isp = {{"DeviceIndex", "1"}, {"LastFile", "blink.ihx"}};
  library.insert(library.begin() + 1, "BAD;DIP40;5000;4000;500000;0;0;0;0;0;0;0;0;3;4;Y");
  Start();
  EXPECT_FALSE(dialog->demo_mode());
  EXPECT_EQ(view.file_name_text, "blink.ihx");
  EXPECT_THAT(view.ListTexts(Control::kManufacturerList), ElementsAre("Testmaker", "Other"));
  EXPECT_THAT(view.ListTexts(Control::kDeviceList),
              ElementsAre("T4", "T3E", "TNOERASE", "T1LOCK", "T0LOCK"));
  EXPECT_EQ(view.ListSelection(Control::kDeviceList), 1);
  EXPECT_THAT(Messages(), SizeIs(1)) << "the faulty record was announced";
  EXPECT_EQ(dialog->BlankCheckCommand(), CommandResult::kOk);
  EXPECT_EQ(chip().kind.eeprom_size, 64u) << "the command worked on the device shown";
}

TEST_F(DialogTest, NoAdapterAfterThreeAttemptsOpensThePreferencesTwiceThenDemo) {
  hardware.insert({{"SearchHardware", "3"}, {"SimFault", "noadapter"}, {"TimeOut", "10000"}});
  Start();
  EXPECT_EQ(view.preferences_runs, 2);
  EXPECT_TRUE(dialog->demo_mode());
  // Every failed attempt told its time-out; the last one the demo mode.
  EXPECT_THAT(Messages(),
              ElementsAre(kTimeoutMessage, kTimeoutMessage, kTimeoutMessage, kNoHardwareMessage));
  EXPECT_THAT(dir.Read("KORVALNK.INI"), HasSubstr("SearchHardware=3"))
      << "the settings were written back on entering demo mode";
  EXPECT_THAT(view.ListTexts(Control::kManufacturerList), SizeIs(2)) << "the start-up goes on";
}

TEST_F(DialogTest, LockLevelsAreCumulative) {
  Start();
  // Level clicked, the state the box toggled itself to, then Lock1 to Lock3
  // afterwards, in the settings and the boxes.
  const int steps[][5] = {
      {3, 1, 1, 1, 1},                   // checking a level checks those below it
      {1, 0, 1, 1, 1},                   // a level cannot be cleared while a higher one is set
      {2, 0, 1, 1, 1}, {3, 0, 1, 1, 0},  // the top one can, then the others from the top down
      {2, 0, 1, 0, 0}, {1, 0, 0, 0, 0}, {2, 1, 1, 1, 0}, {1, 0, 1, 1, 0},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(::testing::Message() << "level " << step[0] << " to " << step[1]);
    view.checked[kLockBoxes[step[0] - 1]] = step[1] == 1;
    dialog->OnLockClicked(step[0], step[1] == 1);
    const int now[] = {settings().Lock1, settings().Lock2, settings().Lock3};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(now[i], step[2 + i]) << "Lock" << i + 1;
      EXPECT_EQ(view.IsChecked(kLockBoxes[i]), step[2 + i] == 1) << "box " << i + 1;
    }
  }
}

TEST_F(DialogTest, DeviceControlsFollowEraseWaitAndLockCountOfTheSelectedDevice) {
  isp["Lock2"] = "1";
  Start();
  // Manufacturer, device, then "Löschen" and the number of lock-bit boxes on.
  const int cases[][4] = {{0, kNoEraseDevice, 0, 0},
                          {0, kOneLockDevice, 1, 1},
                          {0, kPlainDevice, 1, 3},
                          {0, kNoLockDevice, 1, 0},
                          {1, 0, 1, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c[0] << "/" << c[1]);
    if (c[0] == 0) {
      view.selections[Control::kDeviceList] = c[1];
      dialog->OnDeviceSelected(c[1]);
    } else {
      // The list is refilled; the device index is beyond it and falls back to its first entry.
      view.selections[Control::kManufacturerList] = c[0];
      dialog->OnManufacturerSelected(c[0]);
      EXPECT_THAT(view.ListTexts(Control::kDeviceList), ElementsAre("O1"));
    }
    EXPECT_EQ(settings().ManufIndex, c[0]);
    EXPECT_EQ(settings().DeviceIndex, c[1]);
    EXPECT_EQ(view.IsControlEnabled(Control::kEraseButton), c[2] == 1);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(view.IsControlEnabled(kLockBoxes[i]), i < c[3]) << "box " << i + 1;
    EXPECT_TRUE(view.IsChecked(Control::kLock2Box)) << "check states are kept";
  }
}

// With the end message wanted, the window test closes by Escape.
TEST_F(DialogTest, ClosingSavesThePositionAndShowsNoEndMessageUnlessWanted) {
  isp["EndMessage"] = "0";
  Start();
  services_view.Clear();
  view.rect = {77, 88, 400, 300};
  EXPECT_TRUE(dialog->OnCloseRequest());
  EXPECT_THAT(dir.Read("KORVALNK.INI"), AllOf(HasSubstr("X-Koord=77"), HasSubstr("Y-Koord=88")));
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(DialogTest, BadSimulatorSettingsAreToldAndTheSimulatorStillRuns) {
  dir.Write("chip.zvchip", "not a chip");
  hardware["SimFault"] = "stuck=nonsense";
  StartWith(kPlainDevice);
  EXPECT_THAT(Messages(),
              ElementsAre(HasSubstr("'stuck=nonsense'"), AllOf(HasSubstr(dir.File("chip.zvchip")),
                                                               HasSubstr("keine Zustandsdatei"))));
  EXPECT_FALSE(dialog->demo_mode());
}

constexpr char kSaved[] = "\nProzessor-Programm gespeichert \n";

constexpr CommandResult (MainDialog::*kDeviceCommands[])() = {
    &MainDialog::BlankCheckCommand, &MainDialog::EraseCommand, &MainDialog::ProgramCommand,
    &MainDialog::VerifyCommand, &MainDialog::ReadOutCommand};

class CommandTest : public DialogTest {
 protected:
  // Reads the chip out through the save dialog answered with name and filter.
  CommandResult ReadOut(const std::string& typed, int filter) {
    view.QueueSaveDialog({true, dir.File(typed), typed, filter});
    return dialog->ReadOutCommand();
  }
  // 100 bytes of data followed by blank cells.
  Bytes code = [] {
    Bytes bytes = Pattern(100, 0x21);
    bytes.resize(256, 0xFF);
    return bytes;
  }();
};

TEST_F(CommandTest, WhileACommandRunsHereOrInAnotherCopyAllElseIsRefusedSilently) {
  StartWith(kPlainDevice);
  WriteFile("fw.bin", Pattern(16, 0x11));
  view.QueueOpenDialog({true, dir.File("fw.bin"), "fw.bin", 1});
  ASSERT_EQ(dialog->ChooseDataFile(), CommandResult::kOk);
  view.rect = {99, 98, 400, 300};
  std::vector<int> inner;  // result, close, Escape, lock held
  services_view.OnPump(1, [&] {
    inner = {static_cast<int>(dialog->ProgramCommand()), dialog->OnCloseRequest(),
             dialog->OnCancelKey(), NamedLock(locks.path(), kBusyWindowTitle).HeldElsewhere()};
  });
  EXPECT_EQ(dialog->BlankCheckCommand(), CommandResult::kOk);
  // Brennen, close and Escape refused; other copies see the command by its busy lock.
  EXPECT_THAT(inner, ElementsAre(static_cast<int>(CommandResult::kBusy), false, false, true));
  EXPECT_EQ(chip().code[0], 0xFF) << "the inner program command did not run";
  EXPECT_THAT(dir.Read("KORVALNK.INI"), Not(HasSubstr("X-Koord=99"))) << "nothing saved";
  ExpectIdle();

  // Another copy's command, known only by the busy lock it holds.
  NamedLock other(locks.path(), kBusyWindowTitle);
  ASSERT_EQ(other.Acquire(), NamedLock::Result::kAcquired);
  settings().data_file_name.clear();
  ClearRecords();
  const uint64_t writes = hw().adapter().register_writes();
  for (auto command : kDeviceCommands)
    EXPECT_EQ((dialog.get()->*command)(), CommandResult::kBusy);
  EXPECT_FALSE(dialog->OnCloseRequest());
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_EQ(view.open_requests.size(), 1u) << "not even the file question of Brennen";
  EXPECT_EQ(hw().adapter().register_writes(), writes);
  other.Release();
  EXPECT_TRUE(dialog->OnCloseRequest());
}

TEST_F(CommandTest, BrennenAsksForAFileThenProgramsItInTheWorkFrame) {
  isp.insert({{"Verify", "0"},
              {"ReadFilter", "2"},
              {"DataFormat", "3"},
              {"DataPath", dir.path() + "sub/"}});
  StartWith(kPlainDevice);
  ClearRecords();
  // Without a file it asks for one; a cancelled dialog ends quietly.
  EXPECT_EQ(dialog->ProgramCommand(), CommandResult::kCancelled);
  ASSERT_EQ(view.open_requests.size(), 1u);
  EXPECT_EQ(view.open_requests[0].selected_filter, 2);
  EXPECT_EQ(view.open_requests[0].initial_directory, dir.path() + "sub/");
  EXPECT_THAT(Messages(), IsEmpty());

  // A chosen file becomes the current one, with its directory and filter,
  // and is programmed without verify.
  const Bytes fw = WriteFile("fw.bin", Pattern(100, 0x11));
  view.QueueOpenDialog({true, dir.File("fw.bin"), "fw.bin", 4});
  ClearRecords();
  EXPECT_EQ(dialog->ProgramCommand(), CommandResult::kOk);
  EXPECT_EQ(settings().DataFormat, kFormatBinary) << "the format recognised is the current one";
  EXPECT_EQ(settings().data_directory, dir.path());
  EXPECT_EQ(view.file_name_text, "fw.bin");
  EXPECT_THAT(Messages(), ElementsAre("Keine Fehler beim prüfen\n"));
  EXPECT_EQ(Bytes(chip().code.begin(), chip().code.begin() + 100), fw);
  EXPECT_THAT(services_view.statuses, Not(Contains(HasSubstr("prüfen"))));

  // The settings decide about the lock bits, even where the device disabled their boxes.
  settings().Verify = settings().Lock1 = settings().Lock2 = settings().Lock3 = 1;
  view.selections[Control::kDeviceList] = kNoLockDevice;
  dialog->OnDeviceSelected(kNoLockDevice);
  ASSERT_FALSE(view.IsControlEnabled(Control::kLock1Box));
  ClearRecords();
  EXPECT_EQ(dialog->ProgramCommand(), CommandResult::kOk);
  EXPECT_THAT(services_view.statuses, Contains(HasSubstr("Programmspeicher prüfen")));
  EXPECT_THAT(Messages(), ElementsAre("Keine Fehler beim prüfen\n\nLockbits sind aktiv."));
  EXPECT_EQ(chip().lock_bits, sim::kLockBit1 | sim::kLockBit2 | sim::kLockBit3);
}

TEST_F(CommandTest, ReadOutNamesTheFileAfterTheChosenFormat) {
  StartWith(kPlainDevice);
  InsertChip(4, code);
  struct Case {
    const char* typed;
    int filter;  // the format is its position less one
    const char* name;
    int format;
    char first;  // of a text file; 0: a binary image
  } const cases[] = {
      {"daten.hex", 1, "daten.hex", kFormatBinary, 0},  // "all files": the typed name
      {"daten.BIN", 2, "daten.bin", kFormatBinary, 0},
      {"noext", 4, "noext.hex", kFormatIntel32, ':'},
      {"a.b.c", 2, "a.b.bin", kFormatBinary, 0},
      {"fw.s19", 6, "fw.hex", kFormatS1, 'S'},
      {"trailing.", 9, "trailing.hex", kFormatMos, ';'},
      {"odd", 11, "odd", kFormatBinary, 0},  // a filter the list does not have
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    ClearRecords();
    EXPECT_EQ(ReadOut(c.typed, c.filter), CommandResult::kOk);
    EXPECT_THAT(Messages(), ElementsAre(kSaved));
    EXPECT_EQ(settings().data_file_path, dir.File(c.name));
    EXPECT_EQ(view.file_name_text, c.name);
    EXPECT_EQ(settings().DataFormat, c.format);
    const std::string written = dir.Read(c.name);
    EXPECT_EQ(c.first ? written.substr(0, 1) : written,
              c.first ? std::string(1, c.first) : std::string(code.begin(), code.begin() + 100));
    EXPECT_TRUE(c.name == std::string(c.typed) || !dir.Exists(c.typed));
  }
  EXPECT_FALSE(dir.Exists("daten.eep")) << "no EEPROM, no companion file";
  // Each save dialog opened where the one before saved.
  EXPECT_EQ(view.save_requests.back().initial_directory, dir.path());
}

TEST_F(CommandTest, AFailedReadOutStillLeavesTheChosenNameCurrent) {
  isp["LastFile"] = "keep.hex";
  StartWith(kPlainDevice);
  InsertChip(4, code);
  EXPECT_EQ(dialog->ReadOutCommand(), CommandResult::kCancelled);
  EXPECT_EQ(settings().data_file_name, "keep.hex") << "a cancelled dialog changes nothing";

  // Cancelled while reading: the chosen name is current, and nothing was written.
  ClearRecords();
  services_view.OnPump(3, [&] { dialog->OnCancelClicked(); });
  EXPECT_EQ(ReadOut("half.hex", 3), CommandResult::kFileNotSaved);
  EXPECT_THAT(Messages(), ElementsAre(kReadOutCancelledMessage));
  EXPECT_EQ(settings().data_file_name, "half.hex");
  EXPECT_FALSE(dir.Exists("half.hex"));
  ExpectIdle();
}

TEST_F(CommandTest, AFileThatTheExtensionRuleWouldReplaceIsNotReplacedUnasked) {
  StartWith(kPlainDevice);
  InsertChip(4, code);
  dir.Write("firmware.hex", "precious");
  dir.Write("firmware.txt", "typed");
  ClearRecords();
  // The dialog asked about firmware.txt; firmware.hex is another file.
  EXPECT_EQ(ReadOut("firmware.txt", 3), CommandResult::kCancelled);
  EXPECT_THAT(Messages(), ElementsAre(std::string(kReplaceQuestionStart) + "firmware.hex" +
                                      kReplaceQuestionEnd));
  EXPECT_EQ(dir.Read("firmware.hex"), "precious");

  services_view.QueueAnswer(MessageKind::kOkCancel, kIdOk);
  EXPECT_EQ(ReadOut("firmware.txt", 3), CommandResult::kOk);
  EXPECT_THAT(dir.Read("firmware.hex"), StartsWith(":"));
  EXPECT_EQ(dir.Read("firmware.txt"), "typed");

  // The name the dialog confirmed is not asked about again.
  ClearRecords();
  EXPECT_EQ(ReadOut("firmware.hex", 3), CommandResult::kOk);
  EXPECT_THAT(Messages(), ElementsAre(kSaved));
}

}  // namespace
}  // namespace zivivar
