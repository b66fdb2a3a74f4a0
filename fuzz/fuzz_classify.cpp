// ClassifyDataFile over arbitrary files: always a format from 1 to 9.
#include <cstdlib>

#include "datafiles/data_files.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static zivivar::fuzz::Harness harness;
  const std::string& path = zivivar::fuzz::WriteInput(data, size);
  const int format = zivivar::ClassifyDataFile(path, /*quiet=*/false, harness.services);
  if (format < zivivar::kFormatBinary || format > zivivar::kLastDataFormat)
    std::abort();
  return 0;
}
