// Any image, any options, any format: what is written reads back into the
// same image, or the save is refused (16-bit formats with data above 64 KiB).
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/text_reader.h"
#include "datafiles/binary_image.h"
#include "datafiles/data_files.h"
#include "datafiles/intel_hex.h"
#include "datafiles/mos_tek_hex.h"
#include "datafiles/motorola_srec.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static zivivar::fuzz::Harness harness;
  static zivivar::ImageBuffer image;
  static zivivar::ImageBuffer back;
  if (size < 6)
    return 0;
  const int format = 1 + data[0] % 9;
  zivivar::DataFileOptions options;
  options.hex_line_len = data[1];  // 0 and odd values too: the writer must cope
  // Where the input's bytes go, and how far the memory reaches beyond them.
  const uint32_t offset = static_cast<uint32_t>(data[3]) << 9;
  const uint32_t memory_size = std::min<uint32_t>(
      zivivar::kImageBufferSize, offset + static_cast<uint32_t>(size - 6) + data[4] + 1);
  // Blank lines saved make big files of big memories: those stay with the unit tests.
  options.ff_save = (data[2] & 1) != 0 && memory_size <= 0x4000;
  data += 6;
  size -= 6;

  image.Clear();
  const size_t count = offset < memory_size ? std::min<size_t>(size, memory_size - offset) : 0;
  // Whatever the memory does not hold stays blank and must not come back.
  std::memcpy(image.bytes.data() + offset, data, count);

  static std::string text;  // keeps its capacity from input to input
  const zivivar::MemoryKind kind = zivivar::kEepromMemory;  // a blank one is written too
  if (zivivar::BuildDataFile(image, memory_size, kind, format, options, harness.services, text) !=
      zivivar::SaveResult::kOk) {
    return 0;
  }
  // A blank memory in MOS Technology or Tektronix is an empty file, which
  // holds no format to read back.
  if (text.empty())
    return 0;
  const std::string& path =
      zivivar::fuzz::WriteInput(reinterpret_cast<const uint8_t*>(text.data()), text.size());

  static zivivar::DeviceDescriptor device;
  static int data_format = 0;
  static zivivar::DataFiles files(back, harness.services, device, data_format);
  device.eeprom_size = memory_size;
  const int classified = zivivar::ClassifyDataFile(path, false, harness.services);
  // Recognition goes by content: a binary image may look like text, and an
  // Intel8 file that starts in a higher bank like IntelMCS.
  if (format == zivivar::kFormatBinary && classified != format)
    return 0;
  const bool same_family = classified == format ||
                           (zivivar::IsIntelFormat(format) && zivivar::IsIntelFormat(classified));
  if (!same_family)
    std::abort();
  if (files.LoadDataFile(path, kind, options) != zivivar::LoadResult::kOk)
    std::abort();
  // (A blank EEPROM saved as binary is one blank byte: the same image.) The
  // whole image is compared, so a stray byte above the memory shows too;
  // next to the save and load that costs nothing.
  if (back.bytes != image.bytes)
    std::abort();
  return 0;
}
