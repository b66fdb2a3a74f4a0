// The run's objects as the data-file tests need them: an image, scripted
// services, a device with chosen memory sizes, and a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "datafiles/data_files.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {

class DataFileTest : public ::testing::Test {
 protected:
  DataFileTest() {
    device.code_size = 0x20000;
    device.eeprom_size = 0x200;
  }

  // Writes text as a file and loads it into the memory of kind.
  LoadResult Load(const std::string& text, MemoryKind kind = kCodeMemory) {
    return files.LoadDataFile(dir.Write("in.dat", text), kind, options);
  }
  // Saves the code memory in format and returns the file's bytes.
  std::string Save(int format) {
    files.SetDataFormat(format);
    EXPECT_EQ(files.WriteDataFile(dir.File("out.dat"), kCodeMemory, options), SaveResult::kOk)
        << Messages();
    return dir.Read("out.dat");
  }
  // The first size bytes of the image.
  std::string ImageText(uint32_t size) const {
    return {reinterpret_cast<const char*>(image.bytes.data()), size};
  }
  // The texts of the messages shown since the last call: "" when none, one
  // when one.
  std::string Messages() {
    std::string all;
    for (const auto& message : view.messages)
      all += (all.empty() ? "" : "\n----\n") + message.text;
    view.messages.clear();
    return all;
  }

  testing::TempDir dir;
  testing::ScriptedServicesView view;
  int message_beep = 0;
  Services services{view, message_beep};
  ImageBuffer image;
  DeviceDescriptor device;
  DataFileOptions options;
  DataFiles files{image, services, device};
};

// Fills the first size bytes of image with data among whole blank stretches
// (every fifth run of 96 bytes), so that both the leaving out of blank lines
// and single blank bytes among data are exercised.
inline void FillTestPattern(ImageBuffer& image, uint32_t size, uint32_t seed) {
  image.bytes.fill(kBlankByte);
  uint32_t state = seed * 2654435761u + 12345u;
  for (uint32_t a = 0; a < size; ++a) {
    state = state * 1103515245u + 12345u;
    image.bytes[a] = (a / 96) % 5 == 3 ? kBlankByte : static_cast<uint8_t>(state >> 16);
  }
}

}  // namespace zivivar
