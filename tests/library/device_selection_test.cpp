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
  std::vector<std::string> Texts(const SelectionList& list) const {
    std::vector<std::string> texts;
    for (const SelectionEntry& entry : list.entries)
      texts.push_back(entry.text);
    return texts;
  }
  int FillDevices() { return selection.FillDeviceList(manuf_index, device_index, 85); }
  int Load() { return selection.LoadSelectedDevice(manuf_index, device_index, 85); }

  DeviceSelection selection{library, services};
  int32_t manuf_index = 0;
  int32_t device_index = 0;
};

TEST_F(SelectionTest, ManufacturersInFileOrderWithFallBack) {
  WriteLibrary({":Atmel;Y", ":Switched off;N", ":Other;Y"});
  manuf_index = 2;
  EXPECT_EQ(selection.FillManufacturerList(manuf_index), 0);
  EXPECT_EQ(Texts(selection.manufacturers()), (std::vector<std::string>{"Atmel", "Other"}));
  EXPECT_EQ(manuf_index, 0);
  EXPECT_EQ(selection.manufacturers().selection, 0);
  manuf_index = 1;
  selection.FillManufacturerList(manuf_index);
  EXPECT_EQ(selection.manufacturers().selection, 1);
  manuf_index = -1;
  selection.FillManufacturerList(manuf_index);
  EXPECT_EQ(manuf_index, 0);
  EXPECT_FALSE(library.IsOpen());
}

TEST_F(SelectionTest, MissingOrEmptyLibraryListsPlaceholders) {
  manuf_index = 3;
  device_index = 2;
  EXPECT_EQ(selection.FillManufacturerList(manuf_index), kLibraryEnd);
  EXPECT_TRUE(selection.manufacturers().IsPlaceholder());
  EXPECT_EQ(Texts(selection.manufacturers()), std::vector<std::string>{"Keine Hersteller"});
  EXPECT_EQ(manuf_index, 3);  // kept for the day the library is back
  EXPECT_EQ(Load(), kLibraryFailed);
  EXPECT_EQ(Messages(), std::vector<std::string>(2, "Kann Bauteilbibliothek nicht öffnen !"));

  WriteLibrary({"; nothing here"});
  EXPECT_EQ(selection.FillManufacturerList(manuf_index), kLibraryEnd);
  EXPECT_EQ(manuf_index, 0);
  EXPECT_EQ(FillDevices(), kLibraryEnd);
  EXPECT_EQ(Texts(selection.devices()), std::vector<std::string>{"Keine Bausteine"});
  EXPECT_EQ(selection.devices().entries[0].item_data, 0u);
  EXPECT_EQ(Messages().back(), "Hersteller in Bibliothek nicht gefunden !");
  // The placeholder is no manufacturer.
  EXPECT_EQ(selection.FindManufacturerByName("Keine Hersteller", manuf_index), kLibraryFailed);
}

TEST_F(SelectionTest, DeviceListCarriesLockBitsAndSkipsInactiveLines) {
  WriteLibrary({":Atmel;Y", "Off1;N", "Off2;N", "; note", Device("AT89S51", "1"),
                Device("AT89S8252", "2"), ":Other;Y", Device("X")});
  device_index = 5;
  EXPECT_EQ(FillDevices(), 0);
  EXPECT_EQ(Texts(selection.devices()), (std::vector<std::string>{"AT89S51", "AT89S8252"}));
  EXPECT_EQ(selection.devices().entries[1].item_data, 2u);
  EXPECT_EQ(device_index, 0);
  ASSERT_EQ(Load(), 0);
  EXPECT_EQ(library.descriptor().device_name, "AT89S51");
  EXPECT_EQ(library.descriptor().lock_bit_count, 1);
}

TEST_F(SelectionTest, ShorterListOfAnotherManufacturerSelectsItsFirstDevice) {
  WriteLibrary(
      {":A;Y", Device("A1"), Device("A2"), Device("A3"), ":B;Y", Device("B1"), Device("B2")});
  device_index = 2;
  FillDevices();
  EXPECT_EQ(device_index, 2);
  manuf_index = 1;
  FillDevices();
  EXPECT_EQ(device_index, 0);
  ASSERT_EQ(Load(), 0);
  EXPECT_EQ(library.descriptor().device_name, "B1");
}

TEST_F(SelectionTest, FaultyRecordsAreLeftOutAndTheShownDeviceIsLoaded) {
  WriteLibrary({":Atmel;Y", Device("Bad", "7"), Record({{1, "Short"}}).substr(0, 20) + "Y",
                Device("Good"), Device("Last")});
  EXPECT_EQ(FillDevices(), 0);
  EXPECT_EQ(Texts(selection.devices()), (std::vector<std::string>{"Good", "Last"}));
  ASSERT_EQ(Messages().size(), 1u);  // only the refused value speaks; a missing field is silent
  EXPECT_NE(Messages()[0].find("Gelesener Wert: 7"), std::string::npos);
  view.Clear();
  for (int32_t i = 0; i < 2; ++i) {
    device_index = i;
    ASSERT_EQ(Load(), 0);
    EXPECT_EQ(library.descriptor().device_name, selection.devices().entries[i].text);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SelectionTest, LoadingFromABlockWithoutDevices) {
  WriteLibrary({":Empty;Y", "x;N", ":Other;Y", Device("D"), ":AtEnd;Y"});
  EXPECT_EQ(FillDevices(), kLibraryEnd);
  EXPECT_EQ(Load(), kLibraryFailed);
  manuf_index = 2;
  EXPECT_EQ(FillDevices(), kLibraryEnd);
  EXPECT_EQ(Load(), kLibraryFailed);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Keine Bausteine für diesen\n\n Hersteller in der Liste !",
                                      "Fehler beim lesen der Bibliothek !"}));
}

TEST_F(SelectionTest, WithoutAListTheIndexCountsActiveDeviceLines) {
  WriteLibrary({":Atmel;Y", Record({{1, "Short"}}).substr(0, 20) + "Y", Device("Good")});
  device_index = 1;
  ASSERT_EQ(Load(), 0);
  EXPECT_EQ(library.descriptor().device_name, "Good");
  device_index = 0;
  EXPECT_EQ(Load(), kLibraryFailed);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SelectionTest, EditsTakeEffectAtTheNextFillAndLoad) {
  WriteLibrary({":Atmel;Y", Device("A"), Device("B")});
  device_index = 1;
  FillDevices();
  // B moves up, and its data change: the device shown is still the one loaded.
  WriteLibrary({":Atmel;Y", Record({{1, "B"}, {12, "4096"}}), Device("A")});
  ASSERT_EQ(Load(), 0);
  EXPECT_EQ(library.descriptor().device_name, "B");
  EXPECT_EQ(library.descriptor().code_size, 4096u);
  // A device that is gone is not replaced by another one.
  WriteLibrary({":Atmel;Y", Device("A")});
  EXPECT_EQ(Load(), kLibraryFailed);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Fehler beim lesen der Bibliothek !"});
}

TEST_F(SelectionTest, WaitsUseTheCorrectionInForceWhenParsed) {
  WriteLibrary({":Atmel;Y", Record({{4, "1000"}})});
  selection.FillDeviceList(0, device_index, 100);
  EXPECT_EQ(selection.devices().entries[0].record.write_wait, 10u);
  ASSERT_EQ(selection.LoadSelectedDevice(0, 0, 50), 0);
  EXPECT_EQ(library.descriptor().write_wait, 20u);
}

TEST_F(SelectionTest, FindingByNameForTheCommandLine) {
  WriteLibrary({":Atmel;Y", Device("AT89S51"), Device("AT89S52"), ":Other;Y", Device("O1")});
  ASSERT_EQ(selection.FindManufacturerByName("Other", manuf_index), 0);
  EXPECT_EQ(manuf_index, 1);
  ASSERT_EQ(selection.FindManufacturerByName("Atmel", manuf_index), 0);
  ASSERT_EQ(selection.FindDeviceByName(manuf_index, "AT89S52", device_index, 85), 0);
  EXPECT_EQ(device_index, 1);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(selection.FindDeviceByName(manuf_index, "at89s52", device_index, 85), kLibraryFailed);
  EXPECT_EQ(selection.FindManufacturerByName("Nobody", manuf_index), kLibraryFailed);
  EXPECT_EQ(device_index, 1);
  EXPECT_EQ(manuf_index, 0);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Baustein 'at89s52' in Bibliothek nicht gefunden !",
                                      "Hersteller 'Nobody' in Bibliothek nicht gefunden !"}));
}

}  // namespace
}  // namespace zivivar
