// The device library that ships with the program, checked against the
// datasheets of the devices it lists.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "library/device_selection.h"
#include "library/library_line.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

struct Datasheet {
  uint32_t code_size;
  uint32_t eeprom_size;
  uint8_t spi_mode;  // 3: three-byte instructions, 4: four-byte instructions
};

const std::map<std::string, Datasheet> kDatasheets = {
    {"AT89S51", {4096, 0, 4}},       {"AT89S52", {8192, 0, 4}},
    {"AT89S53", {12288, 0, 3}},      {"AT89LS53", {12288, 0, 3}},
    {"AT89S8252", {8192, 2048, 3}},  {"AT89LS8252", {8192, 2048, 3}},
    // The data EEPROM (2048 bytes) is left out: mode 4 reaches the code memory only.
    {"AT89S8253", {12288, 0, 4}},
};

TEST(ShippedLibraryTest, EveryActiveRecordParsesAndAgreesWithItsDatasheet) {
  int beep = 0;
  testing::ScriptedServicesView view;
  Services services{view, beep};
  DeviceLibrary library{services, std::string(ZIVIVAR_SOURCE_DIR) + "/data"};
  DeviceSelection selection{library, services};

  int32_t manuf_index = 0;
  ASSERT_EQ(selection.FillManufacturerList(manuf_index), 0);
  std::map<std::string, int> seen;
  const auto manufacturers = static_cast<int32_t>(selection.manufacturers().entries.size());
  for (int32_t m = 0; m < manufacturers; ++m) {
    int32_t device_index = 0;
    ASSERT_EQ(selection.FillDeviceList(m, device_index, 85), 0);
    for (const SelectionEntry& entry : selection.devices().entries) {
      const DeviceDescriptor& d = entry.record;
      ++seen[d.device_name];
      const auto sheet = kDatasheets.find(d.device_name);
      ASSERT_NE(sheet, kDatasheets.end()) << d.device_name;
      EXPECT_EQ(d.code_size, sheet->second.code_size) << d.device_name;
      EXPECT_EQ(d.eeprom_size, sheet->second.eeprom_size) << d.device_name;
      EXPECT_EQ(d.spi_mode, sheet->second.spi_mode) << d.device_name;
      EXPECT_EQ(d.lock_bit_count, 3) << d.device_name;
      EXPECT_EQ(d.programming_voltage, 5000u) << d.device_name;
      EXPECT_GT(d.write_wait, 1u) << d.device_name;
      EXPECT_GT(d.erase_wait, 1u) << d.device_name;
    }
  }
  EXPECT_TRUE(view.messages.empty());
  for (const auto& [name, sheet] : kDatasheets) {
    EXPECT_EQ(seen[name], 1) << name;
  }

  // No note became an active line, and every line ends in CR LF.
  std::ifstream in(library.path(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t active = 0;
  for (size_t begin = 0, end; begin < text.size(); begin = end + 1) {
    end = text.find('\n', begin);
    ASSERT_NE(end, std::string::npos);
    ASSERT_TRUE(end > begin && text[end - 1] == '\r') << "line feed at byte " << end;
    active += IsActiveLine(std::string_view(text).substr(begin, end - 1 - begin)) ? 1 : 0;
  }
  EXPECT_EQ(active, selection.manufacturers().entries.size() + seen.size());
}

}  // namespace
}  // namespace zivivar
