// The format judgement over arbitrary bytes: always a format from 1 to 9.
// (fuzz_load goes through the file, read as a load reads it.)
#include <cstdlib>

#include "datafiles/data_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int format = zivivar::ClassifyDataBytes({reinterpret_cast<const char*>(data), size});
  if (format < zivivar::kFormatBinary || format > zivivar::kLastDataFormat)
    std::abort();
  return 0;
}
