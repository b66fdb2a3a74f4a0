#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "dialog_fixture.h"
#include "programmer/device_operations.h"
#include "programmer/port_link.h"
#include "services/services.h"

namespace zivivar {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr char kProgramOk[] = "Keine Fehler beim prüfen\n";
constexpr char kProgramLocked[] = "Keine Fehler beim prüfen\n\nLockbits sind aktiv.";
constexpr char kVerifyOk[] = "Keine Fehler beim Prüfen";

class CommandTest : public DialogTest {
 protected:
  // What every device command leaves behind once it created its busy window.
  void ExpectIdle() {
    EXPECT_FALSE(view.busy_window_shown);
    ASSERT_FALSE(services_view.statuses.empty());
    EXPECT_EQ(services_view.statuses.back(), kIdleStatus);
    EXPECT_FALSE(services_view.cancel_enabled);
    EXPECT_EQ(runtime->services().cancel_flag(), 0);
    EXPECT_FALSE(NamedLock(locks.path(), kBusyWindowTitle).HeldElsewhere()) << "busy lock released";
  }
  // A code file of count pattern bytes from address 0 (byte 0 is not 0x00,
  // which a locked chip reads back).
  std::vector<uint8_t> WriteCode(const std::string& name, size_t count, uint8_t seed = 0x11) {
    std::vector<uint8_t> bytes = Pattern(count, seed);
    dir.Write(name, IntelHex(0, bytes));
    return bytes;
  }
  std::vector<uint8_t> ChipCode(size_t count) {
    return std::vector<uint8_t>(chip().code.begin(),
                                chip().code.begin() + static_cast<long>(count));
  }
};

TEST_F(CommandTest, DemoModeRefusesEveryDeviceCommandWithItsMessage) {
  hardware = {"PortAdress=378"};
  SetKey(isp, "LastFile=fw.hex");
  Start();
  ASSERT_TRUE(dialog->demo_mode());
  ClearRecords();

  EXPECT_EQ(dialog->BlankCheckCommand(), kCommandDemoMode);
  EXPECT_EQ(dialog->EraseCommand(), kCommandDemoMode);
  EXPECT_EQ(dialog->ProgramCommand(), kCommandDemoMode);
  EXPECT_EQ(dialog->VerifyCommand(), kCommandDemoMode);
  EXPECT_EQ(dialog->ReadOutCommand(), kCommandDemoMode);
  EXPECT_EQ(Messages(), std::vector<std::string>(5, kDemoMessage));
  EXPECT_EQ(view.busy_windows_created, 0);
  EXPECT_THAT(view.save_requests, IsEmpty()) << "no save dialog in demo mode";
  EXPECT_THAT(view.LogLines("disable"), IsEmpty());

  // Choosing a file still works, and "Brennen" without one asks first.
  settings().data_file_name.clear();
  size_t dialogs_at_message = 0;
  services_view.OnMessage(
      [&](const testing::RecordedMessage&) { dialogs_at_message = view.open_requests.size(); });
  view.QueueOpenDialog({true, dir.File("a.hex"), "a.hex", 3});
  EXPECT_EQ(dialog->ProgramCommand(), kCommandDemoMode);
  EXPECT_EQ(dialogs_at_message, 1u) << "the open dialog comes before the demo message";
  EXPECT_EQ(view.file_name_text, "a.hex");
}

TEST_F(CommandTest, ACommandOfAnotherCopyRefusesEveryCommandSilently) {
  StartWith(kPlainDevice);
  ClearRecords();
  NamedLock other(locks.path(), kBusyWindowTitle);
  ASSERT_EQ(other.Acquire(), NamedLock::Result::kAcquired);
  EXPECT_TRUE(dialog->BusyWindowExists());

  settings().data_file_name.clear();
  const uint64_t writes = hw().adapter().register_writes();
  EXPECT_EQ(dialog->BlankCheckCommand(), kCommandBusy);
  EXPECT_EQ(dialog->EraseCommand(), kCommandBusy);
  EXPECT_EQ(dialog->ProgramCommand(), kCommandBusy);
  EXPECT_EQ(dialog->VerifyCommand(), kCommandBusy);
  EXPECT_EQ(dialog->ReadOutCommand(), kCommandBusy);
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_THAT(view.open_requests, IsEmpty()) << "the busy test comes before the file question";
  EXPECT_EQ(view.busy_windows_created, 0);
  EXPECT_EQ(hw().adapter().register_writes(), writes) << "the adapter was not touched";
}

TEST_F(CommandTest, ASecondCommandDuringACommandDoesNothing) {
  StartWith(kPlainDevice);
  WriteCode("fw.hex", 16);
  ChooseFile("fw.hex");
  int inner = -1;
  bool busy_seen_by_others = false;
  view.OnBusyWindowCreated(
      [&] { busy_seen_by_others = NamedLock(locks.path(), kBusyWindowTitle).HeldElsewhere(); });
  services_view.OnPump(1, [&] { inner = dialog->ProgramCommand(); });
  EXPECT_EQ(dialog->BlankCheckCommand(), kOperationOk);
  EXPECT_EQ(inner, kCommandBusy);
  EXPECT_TRUE(busy_seen_by_others) << "other copies see the command through the busy lock";
  EXPECT_EQ(view.busy_windows_created, 1);
  EXPECT_EQ(view.busy_x, 40 + 314);
  EXPECT_EQ(view.busy_y, 50 + 103);
  EXPECT_EQ(chip().code[0], 0xFF) << "the inner program command did not run";
  ExpectIdle();
}

TEST_F(CommandTest, ProgramWithoutAFileAsksAndACancelledDialogEndsQuietly) {
  StartWith(kPlainDevice);
  ClearRecords();
  EXPECT_EQ(dialog->ProgramCommand(), kCommandDialogCancelled);
  ASSERT_EQ(view.open_requests.size(), 1u);
  EXPECT_TRUE(view.open_requests[0].file_must_exist);
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_THAT(view.LogLines("disable"), IsEmpty()) << "no work frame";
  EXPECT_EQ(view.busy_windows_created, 1);
  EXPECT_EQ(chip().code, std::vector<uint8_t>(256, 0xFF));
  ExpectIdle();
}

TEST_F(CommandTest, ProgramWithVerifyOffAndNoLockBits) {
  SetKey(isp, "Verify=0");
  StartWith(kPlainDevice);
  const std::vector<uint8_t> code = WriteCode("fw.hex", 100);
  ChooseFile("fw.hex");
  ClearRecords();

  EXPECT_EQ(dialog->ProgramCommand(), kCommandOk);
  EXPECT_THAT(Messages(), ElementsAre(kProgramOk));
  EXPECT_EQ(ChipCode(100), code);
  EXPECT_THAT(services_view.statuses, Contains(HasSubstr("Programmspeicher Bytes: 100")));
  EXPECT_THAT(services_view.statuses, Not(Contains(HasSubstr("prüfen"))));
  EXPECT_EQ(chip().lock_bits, 0);

  // The work frame: sixteen controls off in their order, then back on.
  EXPECT_THAT(view.Switched(false),
              ElementsAre(Control::kProgramButton, Control::kVerifyButton,
                          Control::kBlankCheckButton, Control::kReadOutButton,
                          Control::kNewFileButton, Control::kPrefsButton, Control::kEraseButton,
                          Control::kManufacturerList, Control::kDeviceList, Control::kVerifyBox,
                          Control::kFFSaveBox, Control::kChecksumBox, Control::kLock1Box,
                          Control::kLock2Box, Control::kLock3Box, Control::kFileNameField));
  EXPECT_THAT(
      view.Switched(true),
      ElementsAre(Control::kProgramButton, Control::kVerifyButton, Control::kBlankCheckButton,
                  Control::kReadOutButton, Control::kNewFileButton, Control::kPrefsButton,
                  Control::kManufacturerList, Control::kDeviceList, Control::kVerifyBox,
                  Control::kFFSaveBox, Control::kChecksumBox, Control::kFileNameField,
                  Control::kEraseButton, Control::kLock1Box, Control::kLock2Box,
                  Control::kLock3Box));
  ExpectIdle();
}

TEST_F(CommandTest, LockBitsFollowTheSettingsEvenWhenTheDeviceDisabledTheirBoxes) {
  SetKey(isp, "Lock1=1");
  SetKey(isp, "Lock2=1");
  SetKey(isp, "Lock3=1");
  StartWith(kNoLockDevice);
  ASSERT_FALSE(view.IsControlEnabled(Control::kLock1Box));
  WriteCode("fw.hex", 40);
  ChooseFile("fw.hex");
  ClearRecords();

  EXPECT_EQ(dialog->ProgramCommand(), kCommandOk);
  EXPECT_THAT(services_view.statuses, Contains(HasSubstr("Programmspeicher prüfen")));
  EXPECT_THAT(Messages(), ElementsAre(kProgramLocked));
  EXPECT_EQ(chip().lock_bits, sim::kLockBit1 | sim::kLockBit2 | sim::kLockBit3);
  EXPECT_FALSE(chip().code[0] == 0xFF);
  ExpectIdle();
}

TEST_F(CommandTest, LockBitsWithoutEffectFailTheCommand) {
  SetKey(isp, "Lock2=1");
  SetKey(isp, "Lock1=1");
  SetKey(hardware, "SimFault=nolock");
  StartWith(kPlainDevice);
  WriteCode("fw.hex", 8);
  ChooseFile("fw.hex");
  ClearRecords();
  EXPECT_EQ(dialog->ProgramCommand(), kLockBitsNoEffect);
  EXPECT_THAT(Messages(), Contains(kLockBitsNoEffectMessage));
  EXPECT_THAT(Messages(), Not(Contains(kProgramLocked)));
}

TEST_F(CommandTest, ProgramAndVerifyCoverTheEepromFromItsCompanionFile) {
  SetKey(isp, "Lock1=1");
  StartWith(kEepromDevice);
  const std::vector<uint8_t> code = WriteCode("fw.hex", 200);
  const std::vector<uint8_t> eeprom = Pattern(64, 0x40);
  dir.Write("fw.eep", IntelHex(0, eeprom));
  ChooseFile("fw.hex");
  EXPECT_EQ(dialog->eeprom_path(), dir.File("fw.eep"));
  ClearRecords();

  EXPECT_EQ(dialog->ProgramCommand(), kCommandOk);
  EXPECT_THAT(Messages(), ElementsAre(kProgramLocked));
  EXPECT_EQ(ChipCode(200), code);
  EXPECT_EQ(chip().eeprom, eeprom);

  ClearRecords();
  EXPECT_EQ(dialog->VerifyCommand(), kCommandOk);
  EXPECT_THAT(Messages(), ElementsAre(kVerifyOk));
  EXPECT_THAT(services_view.statuses, Contains(HasSubstr("EEpromspeicher prüfen Bytes: 64")));
}

TEST_F(CommandTest, AMissingCompanionFileMeansNoSuccessAndNoLockBits) {
  SetKey(isp, "Lock1=1");
  StartWith(kEepromDevice);
  const std::vector<uint8_t> code = WriteCode("fw.hex", 32);
  ChooseFile("fw.hex");
  ClearRecords();

  EXPECT_EQ(dialog->ProgramCommand(), kLoadFailed);
  EXPECT_EQ(ChipCode(32), code) << "the code memory was programmed";
  EXPECT_THAT(Messages(), Not(Contains(kProgramLocked)));
  EXPECT_THAT(Messages(), Not(Contains(kProgramOk)));
  EXPECT_EQ(chip().lock_bits, 0);
  ExpectIdle();
}

TEST_F(CommandTest, CancelDuringTheCodeVerifyStopsTheEepromAfterItsFirstByte) {
  StartWith(kEepromDevice);
  const std::vector<uint8_t> code = WriteCode("fw.hex", 256);
  std::vector<uint8_t> eeprom = Pattern(64, 0x40);
  dir.Write("fw.eep", IntelHex(0, eeprom));
  ChooseFile("fw.hex");
  // The chip's EEPROM differs from the file from address 1 on: an EEPROM
  // verify that went past its first byte would ask about address 1.
  std::vector<uint8_t> chip_eeprom(64, 0x00);
  chip_eeprom[0] = eeprom[0];
  InsertChip(3, code, chip_eeprom);
  ClearRecords();

  services_view.OnPump(2, [&] { dialog->OnCancelClicked(); });
  EXPECT_EQ(dialog->VerifyCommand(), kVerifyFailed);
  EXPECT_THAT(Messages(), ElementsAre(kVerifyCancelledMessage, kVerifyCancelledMessage));
  EXPECT_THAT(services_view.statuses, Contains(HasSubstr("EEpromspeicher prüfen")));
  ExpectIdle();

  // The flag did not outlive the command: the next verify reaches address 1.
  ClearRecords();
  services_view.OnPump(2, [] {});
  EXPECT_EQ(dialog->VerifyCommand(), kVerifyFailed);
  ASSERT_FALSE(Messages().empty());
  EXPECT_THAT(Messages()[0], HasSubstr("EEPROM Fehler an Adresse 1 (0x1)"));
}

TEST_F(CommandTest, EraseAsksFirstAndChecksOnlyWhenConfirmed) {
  StartWith(kPlainDevice);
  InsertChip(4, Pattern(256, 1));
  ClearRecords();

  EXPECT_EQ(dialog->EraseCommand(), kEraseDeclined);
  ASSERT_EQ(services_view.messages.size(), 1u);
  EXPECT_EQ(services_view.messages[0].kind, MessageKind::kOkCancel);
  EXPECT_THAT(Messages()[0], HasSubstr("*** T4 ***"));
  EXPECT_THAT(services_view.statuses, Not(Contains(kBlankCheckCodeStatus)));
  EXPECT_EQ(chip().code[0], 1);
  ExpectIdle();

  ClearRecords();
  services_view.QueueAnswer(MessageKind::kOkCancel, kIdOk);
  EXPECT_EQ(dialog->EraseCommand(), kOperationOk);
  EXPECT_THAT(services_view.statuses, Contains(kBlankCheckCodeStatus));
  EXPECT_EQ(Messages().back(), kDeviceBlankMessage);
  EXPECT_EQ(chip().code, std::vector<uint8_t>(256, 0xFF));
}

TEST_F(CommandTest, ALostAdapterEndsTheCommandWithOneMessage) {
  StartWith(kPlainDevice);
  WriteCode("fw.hex", 200);
  ChooseFile("fw.hex");
  ClearRecords();
  hw().adapter().LoseAfter(3000);

  EXPECT_EQ(dialog->ProgramCommand(), kHandshakeTimeout);
  EXPECT_THAT(Messages(), ElementsAre(kTimeoutMessage));
  ExpectIdle();
  EXPECT_TRUE(view.IsControlEnabled(Control::kProgramButton)) << "the window is usable again";

  // Plugged in again: the next command works.
  hw().adapter().ReconnectAdapter();
  ClearRecords();
  EXPECT_EQ(dialog->ProgramCommand(), kCommandOk);
  EXPECT_THAT(Messages(), ElementsAre(kProgramOk));
}

TEST_F(CommandTest, ADeviceThatCannotBeLoadedGetsOnlyTheCommonEnd) {
  StartWith(kPlainDevice);
  WriteCode("fw.hex", 8);
  ChooseFile("fw.hex");
  std::remove(dir.File("VOZ8051.CSV").c_str());
  ClearRecords();
  EXPECT_EQ(dialog->ProgramCommand(), kLibraryFailed);
  EXPECT_THAT(Messages(), ElementsAre(kLibraryOpenFailedMessage));
  EXPECT_THAT(view.LogLines("disable"), IsEmpty());
  ExpectIdle();
}

TEST_F(CommandTest, ChoosingAFileSetsTheCurrentFileAndTheFilter) {
  SetKey(isp, "ReadFilter=2");
  SetKey(isp, "DataPath=" + dir.path() + "sub/");
  Start();
  view.QueueOpenDialog({true, "/work/fw/main.ihx", "main.ihx", 4});
  EXPECT_EQ(dialog->ChooseDataFile(), kCommandOk);
  ASSERT_EQ(view.open_requests.size(), 1u);
  EXPECT_EQ(view.open_requests[0].selected_filter, 2);
  EXPECT_EQ(view.open_requests[0].initial_directory, dir.path() + "sub/");
  EXPECT_EQ(settings().ReadFilter, 4);
  EXPECT_EQ(settings().data_file_path, "/work/fw/main.ihx");
  EXPECT_EQ(settings().data_file_name, "main.ihx");
  EXPECT_EQ(settings().data_directory, "/work/fw/");
  EXPECT_EQ(dialog->eeprom_path(), "/work/fw/main.eep");
  EXPECT_EQ(view.file_name_text, "main.ihx");

  // Cancelled: nothing changes.
  EXPECT_EQ(dialog->ChooseDataFile(), kCommandDialogCancelled);
  EXPECT_EQ(settings().ReadFilter, 4);
  EXPECT_EQ(settings().data_file_path, "/work/fw/main.ihx");
  EXPECT_EQ(view.open_requests[1].initial_directory, "/work/fw/");
}

}  // namespace
}  // namespace zivivar
