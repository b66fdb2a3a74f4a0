// Checks the device library that ships with the program against the
// datasheets of the devices it lists.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "library/device_library.h"
#include "library/device_selection.h"
#include "library/library_line.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

struct Datasheet {
  uint32_t code_size;
  uint32_t eeprom_size;
  uint8_t lock_bits;
  uint8_t spi_mode;  // 3: three-byte instructions, 4: four-byte instructions
};

const std::map<std::string, Datasheet> kDatasheets = {
    {"AT89S51", {4096, 0, 3, 4}},       {"AT89S52", {8192, 0, 3, 4}},
    {"AT89S53", {12288, 0, 3, 3}},      {"AT89LS53", {12288, 0, 3, 3}},
    {"AT89S8252", {8192, 2048, 3, 3}},  {"AT89LS8252", {8192, 2048, 3, 3}},
    {"AT89S8253", {12288, 2048, 3, 4}},
};

class ShippedLibraryTest : public ::testing::Test {
 protected:
  const std::string directory = std::string(ZIVIVAR_SOURCE_DIR) + "/data";
  int beep = 0;
  testing::ScriptedServicesView view;
  Services services{view, beep};
  DeviceLibrary library{services, directory};
  DeviceSelection selection{library, services};
};

TEST_F(ShippedLibraryTest, EveryLineEndsInCarriageReturnLineFeed) {
  std::ifstream in(library.path(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  for (size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', lf + 1)) {
    ASSERT_TRUE(lf > 0 && text[lf - 1] == '\r') << "line feed at byte " << lf;
  }
}

TEST_F(ShippedLibraryTest, EveryActiveRecordParsesAndAgreesWithItsDatasheet) {
  int32_t manuf_index = 0;
  ASSERT_EQ(selection.FillManufacturerList(manuf_index), 0);
  std::map<std::string, int> seen;
  for (int32_t m = 0; m < static_cast<int32_t>(selection.manufacturers().entries.size()); ++m) {
    int32_t device_index = 0;
    ASSERT_EQ(selection.FillDeviceList(m, device_index, 85), 0);
    for (const SelectionEntry& entry : selection.devices().entries) {
      const DeviceDescriptor& d = entry.record;
      ++seen[d.device_name];
      const auto sheet = kDatasheets.find(d.device_name);
      ASSERT_NE(sheet, kDatasheets.end()) << d.device_name << " has no datasheet entry here";
      EXPECT_EQ(d.code_size, sheet->second.code_size) << d.device_name;
      EXPECT_EQ(d.eeprom_size, sheet->second.eeprom_size) << d.device_name;
      EXPECT_EQ(d.lock_bit_count, sheet->second.lock_bits) << d.device_name;
      EXPECT_EQ(d.spi_mode, sheet->second.spi_mode) << d.device_name;
      EXPECT_EQ(d.programming_voltage, 5000u) << d.device_name;
      EXPECT_GT(d.write_wait, 1u) << d.device_name;
      EXPECT_GT(d.erase_wait, 1u) << d.device_name;
    }
  }
  EXPECT_TRUE(view.Texts().empty());
  for (const auto& [name, sheet] : kDatasheets)
    EXPECT_EQ(seen[name], 1) << name;

  // Every active line is a manufacturer or a listed device: no note became a record.
  ASSERT_EQ(library.OpenLibrary(), 0);
  int active = 0;
  while (library.ReadLine())
    active += IsActiveLine(library.current_line()) ? 1 : 0;
  library.CloseLibrary();
  EXPECT_EQ(active, static_cast<int>(selection.manufacturers().entries.size() + seen.size()));
}

}  // namespace
}  // namespace zivivar
