// One text reader, chosen at build time by FUZZ_READER, over arbitrary
// bytes. Beyond the sanitizers' checks: the load counters must agree with
// the image, and whatever a reader accepted must survive being written and
// read again.
#include <algorithm>
#include <cstdlib>

#include "common/text_reader.h"
#include "datafiles/data_files.h"
#include "datafiles/intel_hex.h"
#include "datafiles/mos_tek_hex.h"
#include "datafiles/motorola_srec.h"
#include "fuzz_support.h"

namespace {

using zivivar::ImageBuffer;

zivivar::LoadResult Read(zivivar::TextReader& file, ImageBuffer& image, zivivar::Services& services,
                         bool test_checksum) {
  return FUZZ_READER(file, image, services, test_checksum);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static zivivar::fuzz::Harness harness;
  static ImageBuffer image;
  static ImageBuffer again;
  // The first byte chooses the checksum setting, so both ways are explored.
  const bool test_checksum = size > 0 && (data[0] & 1) != 0;
  // The readers get a loaded file's bytes, as in a load.
  zivivar::TextReader file;
  if (file.OpenBytes({reinterpret_cast<const char*>(data), size}) != 0)
    std::abort();
  image.Clear();
  const zivivar::LoadResult result = Read(file, image, harness.services, test_checksum);
  if (image.loaded_byte_count == 0 && image.highest_loaded_address != 0)
    std::abort();
  if (result != zivivar::LoadResult::kOk || image.loaded_byte_count == 0)
    return 0;

  // An accepted file within the image: writing it as Intel HEX and reading
  // that back gives the same image. Nothing lies above the highest loaded
  // address, so only the memory up to there is written and compared.
  if (image.highest_loaded_address >= zivivar::kImageBufferSize)
    return 0;
  const uint32_t used = image.highest_loaded_address + 1;
  static std::string text;  // keeps its capacity from input to input
  text.clear();
  zivivar::WriteIntelFile(image, used, zivivar::kFormatIntel32, zivivar::DataFileOptions{}, text);
  zivivar::TextReader reread;
  if (reread.OpenBytes(text) != 0)
    std::abort();
  again.Clear();
  if (zivivar::ReadIntelFile(reread, again, harness.services, true) != zivivar::LoadResult::kOk) {
    std::abort();
  }
  if (again.highest_loaded_address >= used ||
      !std::equal(image.bytes.begin(), image.bytes.begin() + used, again.bytes.begin())) {
    std::abort();
  }
  return 0;
}
