#include "library/device_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "library/device_selection.h"
#include "library/library_line.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {
namespace {

using Texts = std::vector<std::string>;

std::string SignatureText(const std::optional<DeviceSignature>& signature) {
  char text[16] = "";
  if (signature)
    std::snprintf(text, sizeof text, " %02X%02X%02X", (*signature)[0], (*signature)[1],
                  (*signature)[2]);
  return text;
}
using Changes = std::vector<std::pair<int, std::string>>;

// A device library written by the test into a fresh directory, with the
// services recording every message shown.
class LibraryTest : public ::testing::Test {
 protected:
  void WriteLibrary(const Texts& lines) {
    std::string text;
    for (const std::string& line : lines)
      text += line + "\r\n";
    dir.Write(kLibraryFileName, text);
  }
  // A valid AT89S52 record with some fields (counted from 1) replaced.
  static std::string Record(const Changes& changes = {}) {
    Texts fields = {"AT89S52", "DIP40", "5000", "1000", "500000", "0", "0", "0",
                    "0",       "0",     "0",    "8192", "0",      "3", "4"};
    for (const auto& [position, value] : changes)
      fields[static_cast<size_t>(position - 1)] = value;
    std::string line;
    for (const std::string& field : fields)
      line += field + ";";
    return line + "Y";
  }
  static std::string Device(const std::string& name, const std::string& lock_bits = "3") {
    return Record({{1, name}, {14, lock_bits}});
  }
  static Texts Entries(const SelectionList& list) {
    Texts texts;
    for (const SelectionEntry& entry : list.entries)
      texts.push_back(entry.text);
    return texts;
  }
  LibraryResult Parse(const std::string& line) {
    return library.ParseDeviceRecord(line + "\n", 100);
  }
  DeviceDescriptor Parsed(const Changes& changes) {
    EXPECT_EQ(Parse(Record(changes)), LibraryResult::kOk);
    return library.descriptor();
  }
  LibraryResult FillDevices() { return selection.FillDeviceList(manuf_index, device_index, 85); }
  LibraryResult Load() { return selection.LoadSelectedDevice(manuf_index, device_index, 85); }
  std::string Loaded() const { return library.descriptor().device_name; }

  testing::TempDir dir;
  int beep = 0;
  testing::ScriptedServicesView view;
  Services services{view, beep};
  DeviceLibrary library{services, dir.path()};
  DeviceSelection selection{library, services};
  int32_t manuf_index = 0;
  int32_t device_index = 0;
};

TEST_F(LibraryTest, AcceptedRecordsFillTheDescriptor) {
  // Waits of 1000 us and 500000 us at 100 us per register write.
  EXPECT_EQ(Parsed({{12, "131072"}, {13, "0x800"}}),
            (DeviceDescriptor{"AT89S52", 40, 5000, 100, 10, 5000, 131072, 2048, 3, 4}));
  // Octal, the largest supply and memory, waits of 1 and 0 kept as they are,
  // lock count and mode cut to their low byte.
  EXPECT_EQ(Parsed({{3, "12750"},
                    {4, "1"},
                    {5, "0"},
                    {12, "010"},
                    {13, "131072"},
                    {14, "256"},
                    {15, "259"}}),
            (DeviceDescriptor{"AT89S52", 40, 12750, 255, 1, 0, 8, 131072, 0, 3}));
  EXPECT_EQ(Parsed({{3, "49"}, {5, "99"}, {12, "0x8000"}, {13, "0"}}),
            (DeviceDescriptor{"AT89S52", 40, 49, 0, 10, 1, 32768, 0, 3, 4}));
  // The optional sixteenth field: PAGE and a signature among other words, in
  // any case; a signature only on a mode-4 record.
  const std::optional<DeviceSignature> none;
  const DeviceSignature s52 = {0x1E, 0x52, 0x06};
  const std::tuple<std::string, std::string, bool, std::optional<DeviceSignature>> extras[] = {
      {"4", "PAGE;", true, none},
      {"4", "\tPaGe 1E5206 ;", true, s52},
      {"4", "PAGES 1E5206 1E5106;", false, s52},
      {"4", "1E52061 1G5206 1E520;", false, none},
      {"4", ";", false, none},
      {"4", "1E5206", false, none},  // not closed: no field
      {"3", "1E5206;", false, none},
  };
  for (const auto& [mode, field, page, signature] : extras) {
    std::string line = Record({{15, mode}});
    line.insert(line.size() - 1, field);
    ASSERT_EQ(Parse(line), LibraryResult::kOk) << line;
    EXPECT_EQ(library.descriptor().page_read, page) << line;
    EXPECT_EQ(library.descriptor().signature, signature) << line;
  }
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(LibraryTest, RefusedValuesNameTheirFault) {
  const std::string in = "\n\n in '" + library.path() + "' Datei";
  const std::string too_large =
      " überschreitet 131072 (0x20000) Bytes!!\n\nBausteine dieser Größe werden nicht unterstützt "
      "!!\n";
  const std::string package = "Unbekannte Gehäuseform" + in;
  const std::tuple<int, const char*, std::string> cases[] = {
      {2, "dip40", package},
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
  for (const auto& [field, value, text] : cases) {
    view.Clear();
    EXPECT_EQ(Parse(Record({{field, value}})), LibraryResult::kInvalidRecord) << value;
    EXPECT_EQ(view.Texts(), Texts{"AT89S52\n\n" + text}) << value;
  }
}

TEST_F(LibraryTest, MissingOrEmptyLibraryListsPlaceholders) {
  manuf_index = 3;
  EXPECT_EQ(selection.FillManufacturerList(manuf_index), LibraryResult::kEnd);
  EXPECT_EQ(Entries(selection.manufacturers()), Texts{"Keine Hersteller"});
  EXPECT_EQ(manuf_index, 3);  // kept for the day the library is back
  std::filesystem::create_directory(dir.File(kLibraryFileName));  // would read as empty
  EXPECT_EQ(Load(), LibraryResult::kFailed);
  EXPECT_EQ(view.Texts(), Texts(2, "Kann Bauteilbibliothek nicht öffnen !"));
}

// A library that lists nothing says why; a huge one is not read.
TEST_F(LibraryTest, ALibraryThatListsNothingSaysWhy) {
  const std::pair<std::string, const char*> files[] = {
      {"", "Bauteilbibliothek ist leer !"},
      {"; a note\r\n:Atmel;N\r\n", "Kein aktiver Hersteller in der Bauteilbibliothek !"},
      {std::string("\x7F"
                   "ELF\0\xFF",
                   6),
       "Kein aktiver Hersteller in der Bauteilbibliothek !"},
      {":Atmel;Y\r\n" + std::string(kMaxLibrarySize, ';'),
       "Bauteilbibliothek ist größer als 1 MByte !"},
  };
  for (const auto& [text, message] : files) {
    dir.Write(kLibraryFileName, text);
    view.Clear();
    EXPECT_EQ(selection.FillManufacturerList(manuf_index), LibraryResult::kEnd);
    EXPECT_EQ(view.Texts(), Texts{message}) << text.substr(0, 12);
  }
}

TEST_F(LibraryTest, ListsHoldTheActiveLinesInFileOrderAndEndAtAnyManufacturerLine) {
  WriteLibrary({":Atmel;Y", "Off1;N", "; note", Device("AT89S51", "1"), Device("AT89S8252", "2"),
                ":Switched off;N", Device("Hidden"), ":Other;y"});
  for (const int32_t stored : {1, 2, -1}) {
    manuf_index = stored;
    EXPECT_EQ(selection.FillManufacturerList(manuf_index), LibraryResult::kOk);
    EXPECT_EQ(Entries(selection.manufacturers()), (Texts{"Atmel", "Other"}));
    EXPECT_EQ(manuf_index, stored == 1 ? 1 : 0);
    EXPECT_EQ(selection.manufacturers().selection, manuf_index);
  }
  EXPECT_FALSE(library.IsOpen());
  device_index = 2;  // beyond the list, as after a change of manufacturer
  EXPECT_EQ(FillDevices(), LibraryResult::kOk);
  EXPECT_EQ(Entries(selection.devices()), (Texts{"AT89S51", "AT89S8252"}));
  EXPECT_EQ(selection.devices().entries[1].item_data, 2u);
  EXPECT_EQ(device_index, 0);
  ASSERT_EQ(Load(), LibraryResult::kOk);
  EXPECT_EQ(library.descriptor().lock_bit_count, 1);
}

TEST_F(LibraryTest, TheDeviceShownIsLoadedPastFaultyRecordsAndAfterEdits) {
  // A field missing is refused silently; text between the last field and the flag is not read.
  const std::string broken = Record({{1, "Broken"}});
  const std::string z = Record({{1, "Z"}});
  WriteLibrary({":Atmel;Y", Device("Bad", "7"), "Short;DIP40;5000;Y",
                broken.substr(0, broken.size() - 2) + "Y", Device("Good"),
                z.substr(0, z.size() - 1) + " 8K flash Y"});
  EXPECT_EQ(FillDevices(), LibraryResult::kOk);
  EXPECT_EQ(Entries(selection.devices()), (Texts{"Good", "Z"}));
  for (device_index = 0; device_index < 2; ++device_index) {
    ASSERT_EQ(Load(), LibraryResult::kOk);
    EXPECT_EQ(Loaded(), selection.devices().entries[static_cast<size_t>(device_index)].text);
  }
  EXPECT_EQ(view.messages.size(), 1u);  // for "Bad"; a missing field is silent

  device_index = 0;  // "Good" moved and changed: still the device shown
  WriteLibrary({":Atmel;Y", Device("Z"), Record({{1, "Good"}, {12, "4096"}})});
  ASSERT_EQ(Load(), LibraryResult::kOk);
  EXPECT_EQ(library.descriptor().code_size, 4096u);
  WriteLibrary({":Atmel;Y", Device("Z")});
  EXPECT_EQ(Load(), LibraryResult::kFailed);  // gone, and not replaced by another device
  EXPECT_EQ(view.Texts().back(), "Fehler beim lesen der Bibliothek !");
}

TEST_F(LibraryTest, WithoutAListTheIndexCountsActiveDeviceLines) {
  WriteLibrary({":Empty;Y", "x;N", ":Atmel;Y", "Short;DIP40;5000;Y", Device("Good"), ":End;Y"});
  manuf_index = device_index = 1;
  ASSERT_EQ(Load(), LibraryResult::kOk);
  EXPECT_EQ(Loaded(), "Good");
  device_index = 0;
  EXPECT_EQ(Load(), LibraryResult::kFailed);
  EXPECT_TRUE(view.messages.empty());
  manuf_index = 0;  // a block without devices, ended by the next manufacturer ...
  EXPECT_EQ(Load(), LibraryResult::kFailed);
  manuf_index = 2;  // ... or by the end of the file
  EXPECT_EQ(Load(), LibraryResult::kFailed);
  EXPECT_EQ(view.Texts(), (Texts{"Keine Bausteine für diesen\n\n Hersteller in der Liste !",
                                 "Fehler beim lesen der Bibliothek !"}));
}

// The library that ships with the program, checked against the datasheets
// of the devices it lists.
TEST_F(LibraryTest, ShippedLibraryParsesAndAgreesWithTheDatasheets) {
  library.SetDirectory(ZIVIVAR_SOURCE_DIR "/data");
  ASSERT_EQ(selection.FillManufacturerList(manuf_index), LibraryResult::kOk);
  Texts devices;  // name, code and EEPROM bytes, mode, page mode
  for (int32_t m = 0; m < static_cast<int32_t>(selection.manufacturers().entries.size()); ++m) {
    ASSERT_EQ(selection.FillDeviceList(m, device_index, 85), LibraryResult::kOk);
    for (const SelectionEntry& entry : selection.devices().entries) {
      const DeviceDescriptor& d = entry.record;
      devices.push_back(d.device_name + " " + std::to_string(d.code_size) + " " +
                        std::to_string(d.eeprom_size) + " " + std::to_string(d.spi_mode) +
                        (d.page_read ? " PAGE" : "") + SignatureText(d.signature));
      EXPECT_TRUE(d.lock_bit_count == 3 && d.programming_voltage == 5000 && d.write_wait > 1 &&
                  d.erase_wait > 1)
          << d.device_name;
    }
  }
  EXPECT_TRUE(view.messages.empty());
  // The AT89S8253's EEPROM is left out: mode 4 reaches the code memory only.
  std::sort(devices.begin(), devices.end());
  // Signatures only where the data sheets give them for the serial interface.
  EXPECT_EQ(devices, (Texts{"AT89LS53 12288 0 3", "AT89LS8252 8192 2048 3",
                            "AT89S51 4096 0 4 PAGE 1E5106", "AT89S52 8192 0 4 PAGE 1E5206",
                            "AT89S53 12288 0 3", "AT89S8252 8192 2048 3", "AT89S8253 12288 0 4"}));

  // No note became an active line, and every line ends in CR LF.
  std::ifstream in(library.path(), std::ios::binary);
  size_t active = 0;
  for (std::string line; std::getline(in, line);) {
    ASSERT_TRUE(line.ends_with('\r')) << line;
    active += IsActiveLine(line.substr(0, line.size() - 1)) ? 1 : 0;
  }
  EXPECT_EQ(active, selection.manufacturers().entries.size() + devices.size());
}

}  // namespace
}  // namespace zivivar
