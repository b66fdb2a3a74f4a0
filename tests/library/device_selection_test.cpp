#include "library/device_selection.h"

#include <gtest/gtest.h>

#include "library_fixture.h"

namespace zivivar {
namespace {

class SelectionTest : public LibraryTest {
 protected:
  static std::string Device(const std::string& name, const std::string& lock_bits = "3") {
    return Record({{1, name}, {14, lock_bits}});
  }
  static std::string Truncated(const std::string& name) { return name + ";DIP40;5000;Y"; }
  static std::vector<std::string> Texts(const SelectionList& list) {
    std::vector<std::string> texts;
    for (const SelectionEntry& entry : list.entries) {
      texts.push_back(entry.text);
    }
    return texts;
  }
  int FillDevices() { return selection.FillDeviceList(manuf_index, device_index, 85); }
  int Load() { return selection.LoadSelectedDevice(manuf_index, device_index, 85); }
  std::string Loaded() const { return library.descriptor().device_name; }

  DeviceSelection selection{library, services};
  int32_t manuf_index = 0;
  int32_t device_index = 0;
};

TEST_F(SelectionTest, ManufacturersInFileOrderWithFallBack) {
  WriteLibrary({":Atmel;Y", ":Switched off;N", ":Other;Y"});
  for (const int32_t stored : {1, 2, -1}) {
    manuf_index = stored;
    EXPECT_EQ(selection.FillManufacturerList(manuf_index), 0);
    EXPECT_EQ(Texts(selection.manufacturers()), (std::vector<std::string>{"Atmel", "Other"}));
    EXPECT_EQ(manuf_index, stored == 1 ? 1 : 0);
    EXPECT_EQ(selection.manufacturers().selection, manuf_index);
  }
  EXPECT_FALSE(library.IsOpen());
}

TEST_F(SelectionTest, MissingOrEmptyLibraryListsPlaceholders) {
  manuf_index = 3;
  EXPECT_EQ(selection.FillManufacturerList(manuf_index), kLibraryEnd);
  EXPECT_EQ(Texts(selection.manufacturers()), std::vector<std::string>{"Keine Hersteller"});
  EXPECT_EQ(manuf_index, 3);  // kept for the day the library is back
  EXPECT_EQ(Load(), kLibraryFailed);
  EXPECT_EQ(view.Texts(), std::vector<std::string>(2, "Kann Bauteilbibliothek nicht öffnen !"));

  WriteLibrary({"; nothing here"});
  EXPECT_EQ(selection.FillManufacturerList(manuf_index), kLibraryEnd);
  EXPECT_EQ(manuf_index, 0);
  EXPECT_EQ(FillDevices(), kLibraryEnd);
  EXPECT_EQ(Texts(selection.devices()), std::vector<std::string>{"Keine Bausteine"});
  EXPECT_EQ(view.Texts().back(), "Hersteller in Bibliothek nicht gefunden !");
  EXPECT_EQ(selection.FindManufacturerByName("Keine Hersteller", manuf_index), kLibraryFailed);
}

TEST_F(SelectionTest, DeviceListCarriesLockBitsAndSkipsInactiveLines) {
  WriteLibrary({":Atmel;Y", "Off1;N", "Off2;N", "; note", Device("AT89S51", "1"),
                Device("AT89S8252", "2"), ":Other;Y", Device("X")});
  device_index = 2;  // beyond the list, as after a change of manufacturer
  EXPECT_EQ(FillDevices(), 0);
  EXPECT_EQ(Texts(selection.devices()), (std::vector<std::string>{"AT89S51", "AT89S8252"}));
  EXPECT_EQ(selection.devices().entries[1].item_data, 2u);
  EXPECT_EQ(device_index, 0);
  ASSERT_EQ(Load(), 0);
  EXPECT_EQ(Loaded(), "AT89S51");
  EXPECT_EQ(library.descriptor().lock_bit_count, 1);
}

TEST_F(SelectionTest, FaultyRecordsAreLeftOutAndTheShownDeviceIsLoaded) {
  WriteLibrary({":Atmel;Y", Device("Bad", "7"), Truncated("Short"), Device("Good"), Device("Z")});
  EXPECT_EQ(FillDevices(), 0);
  EXPECT_EQ(Texts(selection.devices()), (std::vector<std::string>{"Good", "Z"}));
  ASSERT_EQ(view.messages.size(), 1u);  // a missing field is silent
  view.Clear();
  for (device_index = 0; device_index < 2; ++device_index) {
    ASSERT_EQ(Load(), 0);
    EXPECT_EQ(Loaded(), selection.devices().entries[static_cast<size_t>(device_index)].text);
  }
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SelectionTest, WithoutAListTheIndexCountsActiveDeviceLines) {
  WriteLibrary({":Empty;Y", "x;N", ":Atmel;Y", Truncated("Short"), Device("Good"), ":End;Y"});
  manuf_index = 1;
  device_index = 1;
  ASSERT_EQ(Load(), 0);
  EXPECT_EQ(Loaded(), "Good");
  device_index = 0;
  EXPECT_EQ(Load(), kLibraryFailed);
  EXPECT_TRUE(view.messages.empty());
  manuf_index = 0;  // a block without devices, ended by the next manufacturer ...
  EXPECT_EQ(Load(), kLibraryFailed);
  manuf_index = 2;  // ... or by the end of the file
  EXPECT_EQ(Load(), kLibraryFailed);
  EXPECT_EQ(view.Texts(),
            (std::vector<std::string>{"Keine Bausteine für diesen\n\n Hersteller in der Liste !",
                                      "Fehler beim lesen der Bibliothek !"}));
}

TEST_F(SelectionTest, EditsTakeEffectAtTheNextLoad) {
  WriteLibrary({":Atmel;Y", Device("A"), Device("B")});
  device_index = 1;
  FillDevices();
  WriteLibrary({":Atmel;Y", Record({{1, "B"}, {12, "4096"}}), Device("A")});
  ASSERT_EQ(Load(), 0);  // B moved and changed: still the device shown
  EXPECT_EQ(Loaded(), "B");
  EXPECT_EQ(library.descriptor().code_size, 4096u);
  WriteLibrary({":Atmel;Y", Device("A")});
  EXPECT_EQ(Load(), kLibraryFailed);  // gone, and not replaced by another device
  EXPECT_EQ(view.Texts(), std::vector<std::string>{"Fehler beim lesen der Bibliothek !"});
}

TEST_F(SelectionTest, FindingByNameForTheCommandLine) {
  WriteLibrary({":Atmel;Y", Device("AT89S51"), Device("AT89S52"), ":Other;Y", Device("O1")});
  ASSERT_EQ(selection.FindManufacturerByName("Other", manuf_index), 0);
  EXPECT_EQ(manuf_index, 1);
  ASSERT_EQ(selection.FindManufacturerByName("Atmel", manuf_index), 0);
  ASSERT_EQ(selection.FindDeviceByName(manuf_index, "AT89S52", device_index, 85), 0);
  EXPECT_EQ(device_index, 1);
  EXPECT_EQ(selection.FindDeviceByName(manuf_index, "at89s52", device_index, 85), kLibraryFailed);
  EXPECT_EQ(selection.FindManufacturerByName("Nobody", manuf_index), kLibraryFailed);
  EXPECT_EQ(device_index, 1);
  EXPECT_EQ(manuf_index, 0);
  EXPECT_EQ(view.Texts(),
            (std::vector<std::string>{"Baustein 'at89s52' in Bibliothek nicht gefunden !",
                                      "Hersteller 'Nobody' in Bibliothek nicht gefunden !"}));
}

}  // namespace
}  // namespace zivivar
