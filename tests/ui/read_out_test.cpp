#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "datafiles/data_format.h"
#include "dialog_fixture.h"

namespace zivivar {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

constexpr char kSaved[] = "\nProzessor-Programm gespeichert \n";

class ReadOutTest : public DialogTest {
 protected:
  // Reads the chip out through the save dialog answered with name and filter.
  int ReadOut(const std::string& typed, int filter) {
    view.QueueSaveDialog({true, dir.File(typed), typed, filter});
    return dialog->ReadOutCommand();
  }
  std::vector<uint8_t> Bytes(const std::string& name) {
    const std::string text = dir.Read(name);
    return std::vector<uint8_t>(text.begin(), text.end());
  }
  // 100 bytes of data followed by blank cells.
  std::vector<uint8_t> code = [] {
    std::vector<uint8_t> bytes = Pattern(100, 0x21);
    bytes.resize(256, 0xFF);
    return bytes;
  }();
};

TEST_F(ReadOutTest, AllFilesKeepsTheTypedNameAndWritesABinaryImage) {
  SetKey(isp, "DataFormat=5");
  StartWith(kPlainDevice);
  InsertChip(4, code);
  ClearRecords();

  EXPECT_EQ(ReadOut("daten.hex", 1), kCommandOk);
  EXPECT_THAT(Messages(), ElementsAre(kSaved));
  EXPECT_EQ(settings().DataFormat, kFormatBinary);
  EXPECT_EQ(Bytes("daten.hex"), std::vector<uint8_t>(code.begin(), code.begin() + 100))
      << "a binary image up to the last byte that is not blank";
  EXPECT_EQ(settings().data_file_path, dir.File("daten.hex"));
  EXPECT_EQ(view.file_name_text, "daten.hex");
  EXPECT_FALSE(dir.Exists("daten.eep")) << "no EEPROM, no companion file";

  // The save dialog as the read-out set it up.
  ASSERT_EQ(view.save_requests.size(), 1u);
  EXPECT_EQ(view.save_requests[0].selected_filter, 6) << "DataFormat 5 preselected";
  EXPECT_EQ(view.save_requests[0].initial_directory, dir.path());
  EXPECT_TRUE(view.save_requests[0].confirm_overwrite);
  EXPECT_EQ(view.save_requests[0].default_extension, "hex");
  EXPECT_EQ(view.log.front(), "busy 354,153") << "the busy window stands while the dialog is open";
}

TEST_F(ReadOutTest, TheChosenFormatFixesTheExtension) {
  StartWith(kPlainDevice);
  InsertChip(4, code);

  EXPECT_EQ(ReadOut("daten.txt", 3), kCommandOk);
  EXPECT_FALSE(dir.Exists("daten.txt"));
  EXPECT_THAT(dir.Read("daten.hex"), StartsWith(":20000000"));
  EXPECT_EQ(settings().DataFormat, kFormatIntel8);
  EXPECT_EQ(settings().data_file_name, "daten.hex");

  EXPECT_EQ(ReadOut("daten.BIN", 2), kCommandOk);
  EXPECT_TRUE(dir.Exists("daten.bin"));
  EXPECT_EQ(settings().data_file_name, "daten.bin");
  EXPECT_EQ(view.save_requests.back().proposed_name, "daten") << "the last name, proposed again";

  EXPECT_EQ(ReadOut("noext", 4), kCommandOk);
  EXPECT_EQ(settings().data_file_name, "noext.hex");
  EXPECT_EQ(settings().DataFormat, kFormatIntel32);
}

TEST_F(ReadOutTest, AnEepromGoesIntoTheCompanionFileInTheSameFormat) {
  StartWith(kEepromDevice);
  InsertChip(3, code, Pattern(64, 0x70));
  EXPECT_EQ(ReadOut("dump.ihx", 6), kCommandOk);
  EXPECT_EQ(settings().data_file_name, "dump.hex");
  EXPECT_EQ(dialog->eeprom_path(), dir.File("dump.eep"));
  EXPECT_THAT(dir.Read("dump.hex"), HasSubstr("\r\nS1"));
  EXPECT_THAT(dir.Read("dump.eep"), HasSubstr("\r\nS1"));
}

TEST_F(ReadOutTest, WhatWasReadOutIsProgrammedByTheNextBrennen) {
  StartWith(kEepromDevice);
  const std::vector<uint8_t> eeprom = Pattern(64, 0x70);
  InsertChip(3, code, eeprom);
  ASSERT_EQ(ReadOut("copy.txt", 3), kCommandOk);

  InsertChip(3, std::vector<uint8_t>(256, 0xFF), std::vector<uint8_t>(64, 0xFF));
  ClearRecords();
  EXPECT_EQ(dialog->ProgramCommand(), kCommandOk);
  EXPECT_THAT(view.open_requests, IsEmpty());
  EXPECT_EQ(chip().code, code);
  EXPECT_EQ(chip().eeprom, eeprom);
}

TEST_F(ReadOutTest, ACancelledDialogChangesNothing) {
  SetKey(isp, "LastFile=keep.hex");
  StartWith(kPlainDevice);
  ClearRecords();
  EXPECT_EQ(dialog->ReadOutCommand(), kCommandDialogCancelled);
  EXPECT_EQ(settings().data_file_name, "keep.hex");
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_THAT(view.LogLines("disable"), IsEmpty());
  EXPECT_FALSE(view.busy_window_shown);
  EXPECT_EQ(services_view.statuses.back(), kIdleStatus);
}

TEST_F(ReadOutTest, AFailedReadOutStillLeavesTheChosenNameCurrent) {
  StartWith(kPlainDevice);
  InsertChip(4, code);
  std::remove(dir.File("VOZ8051.CSV").c_str());
  EXPECT_EQ(ReadOut("lost.hex", 3), kLibraryFailed);
  EXPECT_EQ(settings().data_file_name, "lost.hex");
  EXPECT_FALSE(dir.Exists("lost.hex"));

  // Cancelled while reading: the name is current too, and nothing was written.
  WriteLibrary();
  ClearRecords();
  services_view.OnPump(3, [&] { dialog->OnCancelClicked(); });
  EXPECT_EQ(ReadOut("half.hex", 3), kSaveFailed);
  EXPECT_THAT(Messages(), ElementsAre(kReadOutCancelledMessage));
  EXPECT_EQ(settings().data_file_name, "half.hex");
  EXPECT_FALSE(dir.Exists("half.hex"));
  EXPECT_EQ(runtime->services().cancel_flag(), 0);
}

TEST_F(ReadOutTest, AFileThatTheExtensionRuleWouldReplaceIsNotReplacedUnasked) {
  StartWith(kPlainDevice);
  InsertChip(4, code);
  dir.Write("firmware.hex", "precious");
  dir.Write("firmware.txt", "typed");
  ClearRecords();

  // The dialog asked about firmware.txt; firmware.hex is another file.
  EXPECT_EQ(ReadOut("firmware.txt", 3), kCommandDialogCancelled);
  ASSERT_EQ(services_view.messages.size(), 1u);
  EXPECT_EQ(services_view.messages[0].kind, MessageKind::kOkCancel);
  EXPECT_EQ(Messages()[0],
            std::string(kReplaceQuestionStart) + "firmware.hex" + kReplaceQuestionEnd);
  EXPECT_EQ(dir.Read("firmware.hex"), "precious");
  EXPECT_NE(settings().data_file_name, "firmware.hex");

  services_view.QueueAnswer(MessageKind::kOkCancel, kIdOk);
  EXPECT_EQ(ReadOut("firmware.txt", 3), kCommandOk);
  EXPECT_THAT(dir.Read("firmware.hex"), StartsWith(":"));
  EXPECT_EQ(dir.Read("firmware.txt"), "typed");

  // The name the dialog confirmed is not asked about again.
  ClearRecords();
  EXPECT_EQ(ReadOut("firmware.hex", 3), kCommandOk);
  EXPECT_THAT(Messages(), ElementsAre(kSaved));
}

TEST_F(ReadOutTest, DemoModeShowsNoDialogAndNoBusyWindow) {
  hardware = {"PortAdress=378"};
  Start();
  ClearRecords();
  EXPECT_EQ(dialog->ReadOutCommand(), kCommandDemoMode);
  EXPECT_THAT(Messages(), ElementsAre(kDemoMessage));
  EXPECT_THAT(view.save_requests, IsEmpty());
  EXPECT_EQ(view.busy_windows_created, 0);
}

}  // namespace
}  // namespace zivivar
