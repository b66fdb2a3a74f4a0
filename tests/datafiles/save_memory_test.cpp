#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "data_file_fixture.h"
#include "datafiles/binary_image.h"
#include "datafiles/device_readout.h"

namespace zivivar {
namespace {

// Stands for the device: records the steps and fills the image as a chip would.
class FakeReadout : public DeviceReadout {
 public:
  FakeReadout(ImageBuffer& image, Services& services) : image_(image), services_(services) {}

  void ResetAdapter() override { steps.push_back("reset"); }
  void EnterProgrammingMode() override { steps.push_back("enter"); }
  int ReadMemory(MemoryKind kind) override {
    steps.push_back(kind == kCodeMemory ? "read code" : "read eeprom");
    blank_before_read = std::all_of(image_.bytes.begin(), image_.bytes.end(),
                                    [](uint8_t b) { return b == kBlankByte; });
    for (const auto& [address, value] : contents)
      image_.bytes[address] = value;
    if (cancel)
      services_.RequestCancel();
    return result;
  }
  void LeaveProgrammingMode() override { steps.push_back("leave"); }

  std::vector<std::pair<uint32_t, uint8_t>> contents;
  std::vector<std::string> steps;
  bool blank_before_read = false;
  bool cancel = false;
  int result = 0;

 private:
  ImageBuffer& image_;
  Services& services_;
};

class SaveTest : public DataFileTest {
 protected:
  SaveTest() { device.code_size = 4096; }

  int SaveOut(MemoryKind kind = kCodeMemory, const std::string& name = "out.bin") {
    return files.SaveMemoryToFile(dir.File(name), kind, options, readout);
  }

  FakeReadout readout{image, services};
};

TEST_F(SaveTest, BinaryEndsAtTheLastNonBlankByteUnlessBlanksAreSaved) {
  data_format = kFormatBinary;
  readout.contents = {{0x000, 0x12}, {0x7FF, 0x34}};
  ASSERT_EQ(SaveOut(), kSaveOk) << Messages();
  const std::string short_file = dir.Read("out.bin");
  ASSERT_EQ(short_file.size(), 2048u);
  EXPECT_EQ(short_file[0], '\x12');
  EXPECT_EQ(short_file[1], '\xFF');  // blank cells inside keep every byte at its address
  EXPECT_EQ(short_file[2047], '\x34');
  options.ff_save = true;
  ASSERT_EQ(SaveOut(), kSaveOk);
  EXPECT_EQ(dir.Read("out.bin").size(), 4096u);
}

TEST_F(SaveTest, OnlyFirstByteGivesAOneByteFile) {
  data_format = kFormatBinary;
  readout.contents = {{0, 0x00}};
  ASSERT_EQ(SaveOut(), kSaveOk);
  EXPECT_EQ(dir.Read("out.bin"), std::string(1, '\0'));
}

TEST_F(SaveTest, BlankCodeMemoryIsRefusedAsBinaryAndTheOldFileKept) {
  data_format = kFormatBinary;
  dir.Write("out.bin", "old contents");
  EXPECT_EQ(SaveOut(), kSaveFailed);
  EXPECT_EQ(OnlyMessage(), kBlankCodeMemoryMessage);
  EXPECT_EQ(dir.Read("out.bin"), "old contents");
  // Nothing is created where there was no file.
  EXPECT_EQ(SaveOut(kCodeMemory, "new.bin"), kSaveFailed);
  EXPECT_FALSE(dir.Exists("new.bin"));
}

TEST_F(SaveTest, BlankEepromIsSavedAsOneBlankByte) {
  data_format = kFormatBinary;
  ASSERT_EQ(SaveOut(kEepromMemory, "out.eep"), kSaveOk) << Messages();
  EXPECT_EQ(dir.Read("out.eep"), "\xFF");
}

TEST_F(SaveTest, EepromFileHoldsNoMoreThanTheEeprom) {
  device.code_size = 8192;
  device.eeprom_size = 512;
  options.hex_line_len = 32;
  // The reading leaves bytes beyond the EEPROM as they are; none may get into its file.
  readout.contents = {{0, 1}, {511, 2}, {512, 3}, {0x1000, 4}};
  for (int format = kFormatBinary; format <= kLastDataFormat; ++format) {
    for (bool ff_save : {false, true}) {
      options.ff_save = ff_save;
      data_format = format;
      ASSERT_EQ(SaveOut(kEepromMemory, "out.eep"), kSaveOk) << format << Messages();
      device.eeprom_size = 0x20000;  // read back without the size check in the way
      ASSERT_EQ(files.LoadDataFile(dir.File("out.eep"), kEepromMemory, options), kLoadOk)
          << format << Messages();
      device.eeprom_size = 512;
      EXPECT_LE(image.loaded_byte_count, 512u) << DataFormatName(format);
      EXPECT_EQ(image.highest_loaded_address, 511u) << DataFormatName(format);
      EXPECT_EQ(image.bytes[511], 2);
      EXPECT_EQ(image.bytes[512], kBlankByte);
    }
  }
}

TEST_F(SaveTest, DeviceIsReadIntoABlankImageBetweenEnteringAndLeaving) {
  data_format = kFormatIntel8;
  image.bytes.fill(0x00);
  image.loaded_byte_count = 77;
  image.highest_loaded_address = 66;
  ASSERT_EQ(SaveOut(kCodeMemory, "c.hex"), kSaveOk);
  EXPECT_EQ(readout.steps, (std::vector<std::string>{"reset", "enter", "read code", "leave"}));
  EXPECT_TRUE(readout.blank_before_read);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Lese Programmspeicher"});
  // A read-out does not change what the last load counted.
  EXPECT_EQ(image.loaded_byte_count, 77u);
  EXPECT_EQ(image.highest_loaded_address, 66u);

  view.Clear();
  ASSERT_EQ(SaveOut(kEepromMemory, "c.eep"), kSaveOk);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Lese EEPROM"});
}

TEST_F(SaveTest, CancelledReadOutWritesNothing) {
  data_format = kFormatIntel8;
  dir.Write("c.hex", "old");
  readout.cancel = true;
  EXPECT_EQ(SaveOut(kCodeMemory, "c.hex"), kSaveFailed);
  EXPECT_EQ(OnlyMessage(), "Auslesen abgebrochen !");
  EXPECT_EQ(readout.steps.back(), "leave");
  EXPECT_EQ(dir.Read("c.hex"), "old");
  EXPECT_EQ(SaveOut(kCodeMemory, "d.hex"), kSaveFailed);
  EXPECT_FALSE(dir.Exists("d.hex"));
}

TEST_F(SaveTest, FailedReadOutWritesNothingAndAddsNoMessage) {
  data_format = kFormatIntel8;
  readout.result = 10;  // the device side reported its failure itself
  EXPECT_EQ(SaveOut(kCodeMemory, "c.hex"), kSaveFailed);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_FALSE(dir.Exists("c.hex"));
}

TEST_F(SaveTest, FullDiskIsReportedAndTheOldFileSurvives) {
  data_format = kFormatIntel32;
  readout.contents = {{0, 0x55}};
  dir.Write("c.hex", "old");
  std::string offered;
  files.SetFileWriter([&](const std::string&, std::string_view contents) {
    offered = contents;
    return ENOSPC;
  });
  EXPECT_EQ(SaveOut(kCodeMemory, "c.hex"), kSaveFailed);
  EXPECT_EQ(OnlyMessage(), "Fehler beim Öffnen der Datei\n\n" + dir.File("c.hex") +
                               "\n\nKein Platz mehr auf dem Gerät");
  EXPECT_EQ(dir.Read("c.hex"), "old");
  // The whole file was handed over at once.
  EXPECT_EQ(offered.substr(0, 34), ":020000040000FA\r\n:020000020000FC\r\n");
  EXPECT_EQ(offered.substr(offered.size() - 13), ":00000001FF\r\n");
}

TEST_F(SaveTest, WriteThatRunsOutOfRoomLeavesNoPartialFile) {
  // A real short write: the file size limit stops the write part way.
  data_format = kFormatIntel8;
  options.ff_save = true;
  dir.Write("c.hex", "old");
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  rlimit small = old_limit;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int result = SaveOut(kCodeMemory, "c.hex");
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_EQ(result, kSaveFailed);
  EXPECT_EQ(OnlyMessage(), "Fehler beim Öffnen der Datei\n\n" + dir.File("c.hex") +
                               "\n\nKein Platz mehr auf dem Gerät");
  EXPECT_EQ(dir.Read("c.hex"), "old");
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1) << "a temporary file was left behind";
}

TEST_F(SaveTest, MissingDirectoryIsReportedNamingTheFile) {
  data_format = kFormatS2;
  readout.contents = {{0, 0x55}};
  EXPECT_EQ(SaveOut(kCodeMemory, "no/such/dir.hex"), kSaveFailed);
  EXPECT_EQ(OnlyMessage(), "Fehler beim Öffnen der Datei\n\n" + dir.File("no/such/dir.hex") +
                               "\n\nDatei oder Verzeichnis existiert nicht");
}

TEST_F(SaveTest, FormatOutsideTheListIsRefusedWithAMessage) {
  data_format = kFormatUnknown;
  readout.contents = {{0, 0x55}};
  EXPECT_EQ(SaveOut(), kSaveFailed);
  EXPECT_EQ(OnlyMessage(), "Unbekanntes Datenformat 0 !\n\nSpeichervorgang abgebrochen.");
  EXPECT_FALSE(dir.Exists("out.bin"));
}

}  // namespace
}  // namespace zivivar
