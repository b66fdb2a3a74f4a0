// The run's objects as the data-file tests need them: an image, scripted
// services, a device with chosen memory sizes, and a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "datafiles/data_files.h"
#include "datafiles/image_buffer.h"
#include "library/device_descriptor.h"
#include "services/services.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {

class DataFileTest : public ::testing::Test {
 protected:
  DataFileTest() {
    device.code_size = 0x20000;
    device.eeprom_size = 0x200;
  }

  // Writes text as a file and loads it into the code memory.
  int Load(const std::string& text, const std::string& name = "data.hex") {
    return files.LoadDataFile(dir.Write(name, text), kCodeMemory, options);
  }
  int LoadEeprom(const std::string& text, const std::string& name = "data.eep") {
    return files.LoadDataFile(dir.Write(name, text), kEepromMemory, options);
  }

  // Saves the image of the code memory in format and returns the file's bytes.
  std::string Save(int format, MemoryKind kind = kCodeMemory) {
    data_format = format;
    const std::string path = dir.File("out.dat");
    EXPECT_EQ(files.WriteDataFile(path, kind, options), kSaveOk) << Messages();
    return dir.Read("out.dat");
  }

  // The image's bytes from address on.
  std::vector<uint8_t> Bytes(uint32_t address, uint32_t count) const {
    return {image.bytes.begin() + address, image.bytes.begin() + address + count};
  }

  std::string Messages() const {
    std::string all;
    for (const auto& text : view.Texts())
      all += "[" + text + "]\n";
    return all;
  }
  // The one message shown so far ("" when none, all of them when several).
  std::string OnlyMessage() const {
    if (view.messages.size() == 1)
      return view.messages[0].text;
    return view.messages.empty() ? "" : "several: " + Messages();
  }

  testing::TempDir dir;
  testing::ScriptedServicesView view;
  int message_beap = 0;
  Services services{view, message_beap};
  ImageBuffer image;
  DeviceDescriptor device;
  int data_format = 0;
  DataFileOptions options;
  DataFiles files{image, services, device, data_format};
};

// Fills the first size bytes of image with a pattern that has runs of blank
// bytes (whole lines and single cells) among data, so that both the skipping
// of blank lines and the writing of single blank bytes are exercised.
inline void FillTestPattern(ImageBuffer& image, uint32_t size, uint32_t seed = 1) {
  image.bytes.fill(kBlankByte);
  uint32_t state = seed * 2654435761u + 12345u;
  for (uint32_t a = 0; a < size; ++a) {
    state = state * 1103515245u + 12345u;
    const bool blank_run = ((a / 96) % 5) == 3;  // whole blank stretches
    image.bytes[a] = blank_run ? kBlankByte : static_cast<uint8_t>(state >> 16);
  }
}

}  // namespace zivivar
