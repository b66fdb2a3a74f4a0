#include "ui/data_file_naming.h"

#include <gtest/gtest.h>

#include "datafiles/data_format.h"
#include "ui/file_dialogs.h"

namespace zivivar {
namespace {

TEST(DataFileNamingTest, CompanionFileKeepsDirectoryAndBaseName) {
  EXPECT_EQ(EepromPathFor("/home/u/fw/blink.ihx"), "/home/u/fw/blink.eep");
  EXPECT_EQ(EepromPathFor("/home/u/fw/blink"), "/home/u/fw/blink.eep");
  EXPECT_EQ(EepromPathFor("/home/u/fw.v2/blink"), "/home/u/fw.v2/blink.eep")
      << "a point in a directory is no extension";
  EXPECT_EQ(EepromPathFor("blink.tar.hex"), "blink.tar.eep");
}

TEST(DataFileNamingTest, OpenDialogNamesComeFromPathAndFileName) {
  const DataFileNames names = NamesFromDialog("/data/fw/main.ihx", "main.ihx");
  EXPECT_EQ(names.path, "/data/fw/main.ihx");
  EXPECT_EQ(names.name, "main.ihx");
  EXPECT_EQ(names.directory, "/data/fw/");
  EXPECT_EQ(names.eeprom_path, "/data/fw/main.eep");
}

struct ReadOutCase {
  const char* typed;  // the dialog's file name
  int filter;         // 1-based position
  const char* name;   // expected file name
  int format;         // expected DataFormat
};

TEST(DataFileNamingTest, ReadOutFixesTheExtensionFromTheChosenFormat) {
  const ReadOutCase cases[] = {
      {"daten.hex", 1, "daten.hex", kFormatBinary},  // "all files": typed name, binary image
      {"daten", 1, "daten", kFormatBinary},
      {"daten.txt", 3, "daten.hex", kFormatIntel8},
      {"daten.BIN", 2, "daten.bin", kFormatBinary},
      {"daten", 4, "daten.hex", kFormatIntel32},
      {"main.ihx", 3, "main.hex", kFormatIntel8},
      {"fw.s19", 6, "fw.hex", kFormatS1},
      {"dump.hex", 10, "dump.hex", kFormatTektronix},
      {"a.b.c", 2, "a.b.bin", kFormatBinary},
      {"trailing.", 9, "trailing.hex", kFormatMos},
      {"odd", 11, "odd", kFormatBinary},  // a filter the list does not have: as "all files"
  };
  for (const ReadOutCase& c : cases) {
    const ReadOutTarget target =
        ReadOutTargetFromDialog(std::string("/out/") + c.typed, c.typed, c.filter);
    EXPECT_EQ(target.names.name, c.name) << c.typed << " filter " << c.filter;
    EXPECT_EQ(target.names.path, std::string("/out/") + c.name) << c.typed;
    EXPECT_EQ(target.data_format, c.format) << c.typed << " filter " << c.filter;
    EXPECT_EQ(target.names.directory, "/out/");
  }
  EXPECT_EQ(ReadOutTargetFromDialog("/out/x.txt", "x.txt", 3).names.eeprom_path, "/out/x.eep");
}

TEST(FileDialogsTest, OpenDialogListsFiveFiltersAndStartsFromTheSettings) {
  Settings settings;
  settings.ReadFilter = 4;
  settings.data_directory = "/fw/";
  const FileDialogRequest request = OpenDataFileRequest(settings);
  ASSERT_EQ(request.filters.size(), 5u);
  EXPECT_EQ(request.filters[1].first, "*.BIN Binär-Dateien");
  EXPECT_EQ(request.filters[3],
            (std::pair<std::string, std::string>("*.IHX SDCC Intel Hex", "*.ihx")));
  EXPECT_EQ(request.filters[4].second, "*.s19");
  EXPECT_EQ(request.selected_filter, 4);
  EXPECT_EQ(request.initial_directory, "/fw/");
  EXPECT_TRUE(request.file_must_exist);
  EXPECT_TRUE(request.proposed_name.empty());
  EXPECT_TRUE(request.default_extension.empty());
}

TEST(FileDialogsTest, SaveDialogProposesTheCurrentBaseNameInTheCurrentFormat) {
  Settings settings;
  settings.DataFormat = kFormatS2;
  settings.data_directory = "/fw/";
  settings.data_file_name = "blink.v2.ihx";
  const FileDialogRequest request = SaveDataFileRequest(settings);
  ASSERT_EQ(request.filters.size(), 10u);
  EXPECT_EQ(request.filters[6].first, "*.HEX Motorola S2 Exormax");
  EXPECT_EQ(request.selected_filter, 7) << "the format's own entry";
  EXPECT_EQ(request.proposed_name, "blink.v2");
  EXPECT_EQ(request.default_extension, "hex");
  EXPECT_EQ(request.initial_directory, "/fw/");
  EXPECT_TRUE(request.confirm_overwrite);
  EXPECT_FALSE(request.file_must_exist);
}

}  // namespace
}  // namespace zivivar
