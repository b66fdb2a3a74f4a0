// The whole load of an arbitrary file (classification, any reader, binary
// included, and the size check) into a memory whose size the input chooses.
#include <cstdlib>
#include <cstring>

#include "datafiles/data_files.h"
#include "fuzz_support.h"
#include "library/device_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static zivivar::fuzz::Harness harness;
  static zivivar::ImageBuffer image;
  static zivivar::DeviceDescriptor device;
  static int data_format = 0;
  static zivivar::DataFiles files(image, harness.services, device, data_format);
  if (size < 3)
    return 0;
  // Two bytes of memory size (in units of 2 bytes, so up to the whole image), then the file.
  device.code_size =
      (static_cast<uint32_t>(data[0]) << 9 | static_cast<uint32_t>(data[1]) << 1) + 2;
  zivivar::DataFileOptions options;
  options.test_checksum = (data[2] & 1) != 0;
  const std::string& path = zivivar::fuzz::WriteInput(data + 3, size - 3);
  const zivivar::LoadResult result = files.LoadDataFile(path, zivivar::kCodeMemory, options);
  if (result == zivivar::LoadResult::kOk && (image.loaded_byte_count > device.code_size ||
                                             image.highest_loaded_address >= device.code_size)) {
    std::abort();
  }
  return 0;
}
