#include "library/device_library.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "library/library_line.h"
#include "library_fixture.h"

namespace zivivar {
namespace {

TEST(LibraryLineTest, OnlyYAsLastCharacterMakesALineActive) {
  EXPECT_TRUE(IsActiveLine("x;Y\n"));
  EXPECT_TRUE(IsActiveLine("x;y\n"));
  EXPECT_FALSE(IsActiveLine("x;N\n"));
  EXPECT_FALSE(IsActiveLine("x;Y \n"));
  EXPECT_FALSE(IsActiveLine("\n"));
  // The last line of a file without a final line break keeps its flag.
  EXPECT_TRUE(IsActiveLine("x;Y"));
}

TEST(LibraryLineTest, ManufacturerNameEndsAtSemicolonOrFlag) {
  EXPECT_EQ(ManufacturerName(":Atmel;anything;Y\n"), "Atmel");
  EXPECT_EQ(ManufacturerName(":AtmelY\n"), "Atmel");
  EXPECT_EQ(ManufacturerName(":Y\n"), "");
}

class ParseTest : public LibraryTest {
 protected:
  int Parse(const std::string& line, uint32_t korr = 85) {
    return library.ParseDeviceRecord(line + "\n", korr);
  }
  // Parses a record with one field changed and expects it refused with message text.
  void ExpectRefused(int position, const std::string& value, const std::string& text) {
    view.Clear();
    EXPECT_EQ(Parse(Record({{position, value}})), kLibraryInvalidRecord) << value;
    EXPECT_EQ(Messages(), std::vector<std::string>{text}) << value;
  }
  const DeviceDescriptor& d() const { return library.descriptor(); }
  std::string In() const { return "\n\n in '" + library.path() + "' Datei"; }
};

TEST_F(ParseTest, ValidRecordFillsTheDescriptor) {
  ASSERT_EQ(Parse(Record({{3, "5000"}, {4, "1000"}, {5, "500000"}, {13, "0x800"}}), 100), 0);
  EXPECT_EQ(d().device_name, "AT89S52");
  EXPECT_EQ(d().pin_count, 40);
  EXPECT_EQ(d().programming_voltage, 5000u);
  EXPECT_EQ(d().supply_code, 100);
  EXPECT_EQ(d().write_wait, 10u);  // 1000 us at 100 us per register write
  EXPECT_EQ(d().erase_wait, 5000u);
  EXPECT_EQ(d().code_size, 8192u);
  EXPECT_EQ(d().eeprom_size, 2048u);
  EXPECT_EQ(d().lock_bit_count, 3);
  EXPECT_EQ(d().spi_mode, 4);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ParseTest, WaitsOfZeroAndOneStandForThemselvesAndShortOnesGiveOne) {
  ASSERT_EQ(Parse(Record({{4, "1"}, {5, "0"}})), 0);
  EXPECT_EQ(d().write_wait, 1u);
  EXPECT_EQ(d().erase_wait, 0u);
  ASSERT_EQ(Parse(Record({{4, "2"}, {5, "84"}})), 0);
  EXPECT_EQ(d().write_wait, 1u);
  EXPECT_EQ(d().erase_wait, 1u);
}

TEST_F(ParseTest, NumbersAreCLiterals) {
  ASSERT_EQ(Parse(Record({{12, "010"}})), 0);
  EXPECT_EQ(d().code_size, 8u);
  ASSERT_EQ(Parse(Record({{12, "0x8000"}})), 0);
  EXPECT_EQ(d().code_size, 32768u);
  ASSERT_EQ(Parse(Record({{12, "32768"}})), 0);
  EXPECT_EQ(d().code_size, 32768u);
  ExpectRefused(12, "08192", "AT89S52\n\nProgrammspeicher ist 0 !!\n\n in " + library.path());
}

TEST_F(ParseTest, MemorySizeLimits) {
  EXPECT_EQ(Parse(Record({{12, "131072"}, {13, "0"}})), 0);
  EXPECT_EQ(Parse(Record({{13, "131072"}})), 0);
  ExpectRefused(12, "131073",
                "AT89S52\n\nProgrammspeicher überschreitet 131072 (0x20000) Bytes!!\n\n"
                "Bausteine dieser Größe werden nicht unterstützt !!\n");
  ExpectRefused(13, "0x20001",
                "AT89S52\n\nDatenspeicher überschreitet 131072 (0x20000) Bytes!!\n\n"
                "Bausteine dieser Größe werden nicht unterstützt !!\n");
}

TEST_F(ParseTest, ProgrammingVoltageAndSupplyCode) {
  ASSERT_EQ(Parse(Record({{3, "12750"}})), 0);
  EXPECT_EQ(d().supply_code, 255);
  ASSERT_EQ(Parse(Record({{3, "49"}})), 0);
  EXPECT_EQ(d().supply_code, 0);
  ExpectRefused(3, "12751",
                "AT89S52\n\nDie Betriebsspannung im\nProgrammiermodus ist zu groß !!" + In());
  ExpectRefused(3, "", "AT89S52\n\nDie Betriebsspannung im\nProgrammiermodus ist 0 !!" + In());
}

TEST_F(ParseTest, LockBitsAndModeKeepTheirLowByte) {
  ASSERT_EQ(Parse(Record({{14, "256"}, {15, "259"}})), 0);
  EXPECT_EQ(d().lock_bit_count, 0);
  EXPECT_EQ(d().spi_mode, 3);
  const std::string path = library.path();
  ExpectRefused(14, "260",
                "AT89S52\n\nFalscher Wert für die Lockbits in \n\n" + path +
                    " !!\n\nEintrag darf nur von 0-3 gehen.\nGelesener Wert: 4");
  ExpectRefused(15, "5",
                "AT89S52\n\nFalscher Wert für SPIMODE in \n\n" + path +
                    " !!\n\nEintrag darf nur 3 oder 4 sein.\nGelesener Wert: 5");
}

TEST_F(ParseTest, PackageMustBeWrittenExactly) {
  for (const char* package : {"dip40", " DIP40", "DIP40 ", "PLCC44"}) {
    ExpectRefused(2, package, "AT89S52\n\nUnbekannte Gehäuseform" + In());
  }
}

TEST_F(ParseTest, MissingFieldFailsWithoutMessage) {
  std::string no_last_semicolon = Record();
  no_last_semicolon.erase(no_last_semicolon.size() - 2, 1);  // "...;4Y"
  EXPECT_EQ(Parse(no_last_semicolon), kLibraryFailed);
  EXPECT_EQ(Parse("AT89S52;DIP40;5000;Y"), kLibraryFailed);
  EXPECT_EQ(Parse("AT89S52;Y"), kLibraryFailed);
  EXPECT_TRUE(Messages().empty());
  // Text between the last field and the flag is not read.
  std::string with_note = Record();
  with_note.insert(with_note.size() - 1, " 8K flash, 40 pins ");
  EXPECT_EQ(Parse(with_note), 0);
}

TEST_F(ParseTest, FailingRecordOverwritesOnlyTheFieldsBeforeTheFailure) {
  ASSERT_EQ(Parse(Record({{13, "2048"}})), 0);
  EXPECT_EQ(Parse(Record({{1, "Other"}, {12, "0"}, {13, "0"}})), kLibraryInvalidRecord);
  EXPECT_EQ(d().device_name, "Other");
  EXPECT_EQ(d().eeprom_size, 2048u);
}

TEST_F(LibraryTest, WalkingManufacturersAndTheirBlocks) {
  WriteLibrary({"; notes", Record({{1, "Orphan"}}), ":First;Y", Record({{1, "A"}}), "B;N", ":Off;N",
                Record({{1, "Hidden"}}), ":Second;comment;y", Record({{1, "C"}})});
  ASSERT_EQ(library.OpenLibrary(), 0);
  std::string name;
  std::vector<std::string> names;
  while (library.NextManufacturer(name) == 0)
    names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"First", "Second"}));

  // The inactive manufacturer line closes the first block.
  ASSERT_EQ(library.OpenLibrary(), 0);
  ASSERT_EQ(library.FindManufacturer(0), 0);
  EXPECT_EQ(library.NextDevice(85), 0);
  EXPECT_EQ(library.descriptor().device_name, "A");
  EXPECT_EQ(library.NextDevice(85), kLibraryEnd);
  ASSERT_EQ(library.OpenLibrary(), 0);
  ASSERT_EQ(library.FindManufacturer(1), 0);
  EXPECT_EQ(library.NextDevice(85), 0);
  EXPECT_EQ(library.descriptor().device_name, "C");
  EXPECT_EQ(library.NextDevice(85), kLibraryEnd);

  EXPECT_EQ(library.FindManufacturer(0), kLibraryFailed);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Hersteller in Bibliothek nicht gefunden !"});
  library.CloseLibrary();
}

TEST_F(LibraryTest, UnopenableLibraryIsReported) {
  EXPECT_EQ(library.OpenLibrary(), kLibraryFailed);
  std::filesystem::create_directory(dir.File(kLibraryFileName));
  EXPECT_EQ(library.OpenLibrary(), kLibraryFailed);
  EXPECT_EQ(Messages(), std::vector<std::string>(2, "Kann Bauteilbibliothek nicht öffnen !"));
  EXPECT_FALSE(library.IsOpen());
}

}  // namespace
}  // namespace zivivar
