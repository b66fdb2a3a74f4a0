// Saving a device's memory: the read-out, what is written, and that a failed
// or refused save leaves an existing file as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <utility>
#include <vector>

#include "data_file_fixture.h"
#include "datafiles/binary_image.h"

namespace zivivar {
namespace {

// The test stands for the device: it records the steps and fills the image
// as a chip would.
class SaveTest : public DataFileTest, public DeviceReadout {
 protected:
  SaveTest() {
    device.code_size = 4096;
    dir.Write("old.dat", "old");
  }

  void ResetAdapter() override { steps += "reset "; }
  void EnterProgrammingMode() override { steps += "enter "; }
  bool ReadMemory(MemoryKind kind) override {
    steps += kind == kCodeMemory ? "read-code " : "read-eeprom ";
    for (const auto& [address, value] : contents)
      image.bytes[address] = value;
    return true;
  }
  void LeaveProgrammingMode() override { steps += "leave "; }

  SaveResult SaveOut(const std::string& name, MemoryKind kind = kCodeMemory) {
    return files.SaveMemoryToFile(dir.File(name), kind, options, *this);
  }
  // Nothing but the old file is in the directory, as it was.
  void ExpectOnlyTheOldFile() {
    EXPECT_EQ(dir.Read("old.dat"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "a file was left behind";
  }

  std::vector<std::pair<uint32_t, uint8_t>> contents;  // what the chip holds
  std::string steps;
};

TEST_F(SaveTest, DeviceIsReadIntoABlankImageAndTheFileHoldsNoMoreThanItsMemory) {
  files.SetDataFormat(kFormatIntel8);
  options.ff_save = true;
  image.bytes.fill(0x00);
  image.loaded_byte_count = 77;
  contents = {{0, 1}, {511, 2}, {512, 3}};  // the EEPROM has 512 bytes
  ASSERT_EQ(SaveOut("c.eep", kEepromMemory), SaveResult::kOk) << Messages();
  EXPECT_EQ(steps, "reset enter read-eeprom leave ");
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Lese EEPROM"});
  EXPECT_EQ(image.loaded_byte_count, 77u);  // a read-out does not change what a load counted
  ASSERT_EQ(files.LoadDataFile(dir.File("c.eep"), kEepromMemory, options), LoadResult::kOk)
      << Messages();
  EXPECT_EQ(image.loaded_byte_count, 512u);
  EXPECT_EQ(image.bytes[1], kBlankByte);  // read into a blank image
  EXPECT_EQ(image.bytes[511], 2);
}

TEST_F(SaveTest, BinaryEndsAtTheLastNonBlankByteUnlessBlanksAreSaved) {
  files.SetDataFormat(kFormatBinary);
  contents = {{0x000, 0x12}, {0x7FF, 0x34}};
  ASSERT_EQ(SaveOut("out.bin"), SaveResult::kOk) << Messages();
  EXPECT_EQ(dir.Read("out.bin"), "\x12" + std::string(0x7FE, '\xFF') + "\x34");
  options.ff_save = true;
  ASSERT_EQ(SaveOut("out.bin"), SaveResult::kOk);
  EXPECT_EQ(dir.Read("out.bin").size(), 4096u);
  // A blank EEPROM gives one blank byte.
  contents.clear();
  options.ff_save = false;
  ASSERT_EQ(SaveOut("out.eep", kEepromMemory), SaveResult::kOk) << Messages();
  EXPECT_EQ(dir.Read("out.eep"), "\xFF");
}

// (A read-out that failed or was cancelled writes nothing: the commands'
// tests show it.)
TEST_F(SaveTest, RefusedSaveWritesNothing) {
  // A blank code memory as a binary image, and a format outside the list.
  files.SetDataFormat(kFormatBinary);
  EXPECT_EQ(SaveOut("old.dat"), SaveResult::kFailed);
  EXPECT_EQ(Messages(), kBlankCodeMemoryMessage);
  contents = {{0, 0x55}};
  files.SetDataFormat(kFormatUnknown);
  EXPECT_EQ(SaveOut("new.dat"), SaveResult::kFailed);
  EXPECT_EQ(Messages(), "Unbekanntes Datenformat 0 !\n\nSpeichervorgang abgebrochen.");
  ExpectOnlyTheOldFile();
}

TEST_F(SaveTest, FailedWriteKeepsTheOldFileAndLeavesNoOther) {
  files.SetDataFormat(kFormatIntel32);
  options.ff_save = true;
  contents = {{0, 0x55}};
  const std::string full = "Fehler beim Öffnen der Datei\n\n" + dir.File("old.dat") +
                           "\n\nKein Platz mehr auf dem Gerät";
  // A real short write through the usual writer: the file size limit stops it part way.
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  rlimit small = old_limit;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const SaveResult result = SaveOut("old.dat");
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(result, SaveResult::kFailed);
  EXPECT_EQ(Messages(), full);
  ExpectOnlyTheOldFile();
}

}  // namespace
}  // namespace zivivar
