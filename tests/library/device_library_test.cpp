#include "library/device_library.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "library/library_line.h"
#include "library_fixture.h"

namespace zivivar {
namespace {

TEST(LibraryLineTest, FlagAndManufacturerName) {
  EXPECT_TRUE(IsActiveLine("x;Y\n"));
  EXPECT_TRUE(IsActiveLine("x;y\n"));
  EXPECT_FALSE(IsActiveLine("x;N\n"));
  EXPECT_FALSE(IsActiveLine("x;Y \n"));
  EXPECT_FALSE(IsActiveLine("\n"));
  EXPECT_TRUE(IsActiveLine("x;Y"));  // last line of a file without a final line break
  EXPECT_EQ(ManufacturerName(":Atmel;anything;Y\n"), "Atmel");
  EXPECT_EQ(ManufacturerName(":AtmelY\n"), "Atmel");
}

class ParseTest : public LibraryTest {
 protected:
  int Parse(const std::string& line) { return library.ParseDeviceRecord(line + "\n", 100); }
  const DeviceDescriptor& d() const { return library.descriptor(); }
  // The value of one member after a record with one field changed was accepted.
  template <typename T>
  T Parsed(int field, const char* value, T DeviceDescriptor::*member) {
    EXPECT_EQ(Parse(Record({{field, value}})), 0) << value;
    return d().*member;
  }
};

TEST_F(ParseTest, ValidRecordFillsTheDescriptor) {
  ASSERT_EQ(Parse(Record({{13, "0x800"}})), 0);
  // 1000 us and 500000 us at 100 us per register write.
  EXPECT_EQ(d(), (DeviceDescriptor{"AT89S52", 40, 5000, 100, 10, 5000, 8192, 2048, 3, 4}));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(ParseTest, AcceptedValues) {
  EXPECT_EQ(Parsed(12, "010", &DeviceDescriptor::code_size), 8u);
  EXPECT_EQ(Parsed(12, "0x8000", &DeviceDescriptor::code_size), 32768u);
  EXPECT_EQ(Parsed(12, "32768", &DeviceDescriptor::code_size), 32768u);
  EXPECT_EQ(Parsed(12, "131072", &DeviceDescriptor::code_size), 131072u);
  EXPECT_EQ(Parsed(13, "0", &DeviceDescriptor::eeprom_size), 0u);
  EXPECT_EQ(Parsed(13, "131072", &DeviceDescriptor::eeprom_size), 131072u);
  EXPECT_EQ(Parsed(3, "12750", &DeviceDescriptor::supply_code), 255);
  EXPECT_EQ(Parsed(3, "49", &DeviceDescriptor::supply_code), 0);
  EXPECT_EQ(Parsed(4, "1", &DeviceDescriptor::write_wait), 1u);
  EXPECT_EQ(Parsed(5, "0", &DeviceDescriptor::erase_wait), 0u);
  EXPECT_EQ(Parsed(5, "99", &DeviceDescriptor::erase_wait), 1u);
  EXPECT_EQ(Parsed(14, "256", &DeviceDescriptor::lock_bit_count), 0);
  EXPECT_EQ(Parsed(15, "259", &DeviceDescriptor::spi_mode), 3);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(ParseTest, RefusedValuesNameTheirFault) {
  const std::string in = "\n\n in '" + library.path() + "' Datei";
  const std::string too_large =
      " überschreitet 131072 (0x20000) Bytes!!\n\nBausteine dieser Größe werden nicht unterstützt "
      "!!\n";
  const std::string package = "Unbekannte Gehäuseform" + in;
  const struct {
    int field;
    const char* value;
    std::string text;
  } cases[] = {
      {2, "dip40", package},
      {2, " DIP40", package},
      {3, "12751", "Die Betriebsspannung im\nProgrammiermodus ist zu groß !!" + in},
      {3, "", "Die Betriebsspannung im\nProgrammiermodus ist 0 !!" + in},
      {12, "08192", "Programmspeicher ist 0 !!\n\n in " + library.path()},
      {12, "131073", "Programmspeicher" + too_large},
      {13, "0x20001", "Datenspeicher" + too_large},
      {14, "260",
       "Falscher Wert für die Lockbits in \n\n" + library.path() +
           " !!\n\nEintrag darf nur von 0-3 gehen.\nGelesener Wert: 4"},
      {15, "5",
       "Falscher Wert für SPIMODE in \n\n" + library.path() +
           " !!\n\nEintrag darf nur 3 oder 4 sein.\nGelesener Wert: 5"},
  };
  for (const auto& c : cases) {
    view.Clear();
    EXPECT_EQ(Parse(Record({{c.field, c.value}})), kLibraryInvalidRecord) << c.value;
    EXPECT_EQ(view.Texts(), std::vector<std::string>{"AT89S52\n\n" + c.text}) << c.value;
  }
}

TEST_F(ParseTest, MissingFieldFailsWithoutMessage) {
  std::string mode_runs_into_flag = Record();
  mode_runs_into_flag.erase(mode_runs_into_flag.size() - 2, 1);  // "...;3;4Y"
  EXPECT_EQ(Parse(mode_runs_into_flag), kLibraryFailed);
  EXPECT_EQ(Parse("AT89S52;DIP40;5000;Y"), kLibraryFailed);
  EXPECT_TRUE(view.messages.empty());
  std::string with_note = Record();  // text between the last field and the flag is not read
  with_note.insert(with_note.size() - 1, " 8K flash ");
  EXPECT_EQ(Parse(with_note), 0);
}

TEST_F(LibraryTest, WalkingManufacturersAndTheirBlocks) {
  WriteLibrary({"; notes", Record({{1, "Orphan"}}), ":First;Y", Record({{1, "A"}}), "B;N", ":Off;N",
                Record({{1, "Hidden"}}), ":Second;comment;y", Record({{1, "C"}})});
  ASSERT_EQ(library.OpenLibrary(), 0);
  std::string name;
  std::vector<std::string> names;
  while (library.NextManufacturer(name) == 0) {
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"First", "Second"}));

  ASSERT_EQ(library.OpenLibrary(), 0);
  ASSERT_EQ(library.FindManufacturer(0), 0);
  EXPECT_EQ(library.NextDevice(85), 0);
  EXPECT_EQ(library.descriptor().device_name, "A");
  EXPECT_EQ(library.NextDevice(85), kLibraryEnd);  // the inactive ":Off" closes the block
  ASSERT_EQ(library.OpenLibrary(), 0);
  ASSERT_EQ(library.FindManufacturer(1), 0);
  EXPECT_EQ(library.NextDevice(85), 0);
  EXPECT_EQ(library.descriptor().device_name, "C");
  EXPECT_EQ(library.FindManufacturer(0), kLibraryFailed);
  EXPECT_EQ(view.Texts(), std::vector<std::string>{"Hersteller in Bibliothek nicht gefunden !"});
}

TEST_F(LibraryTest, UnopenableLibraryIsReported) {
  EXPECT_EQ(library.OpenLibrary(), kLibraryFailed);
  std::filesystem::create_directory(dir.File(kLibraryFileName));
  EXPECT_EQ(library.OpenLibrary(), kLibraryFailed);
  EXPECT_EQ(view.Texts(), std::vector<std::string>(2, "Kann Bauteilbibliothek nicht öffnen !"));
}

}  // namespace
}  // namespace zivivar
