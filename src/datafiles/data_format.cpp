#include "datafiles/data_format.h"

namespace zivivar {

const char* DataFormatName(int format) {
  static constexpr const char* kNames[] = {
      "Alle Dateien",
      "Binär",
      "Intel8",
      "Intel32",
      "IntelMCS",
      "Motorola S1 Exorciser",
      "Motorola S2 Exormax",
      "Motorola S3 32Bit",
      "MOS Technology",
      "Tektronix",
  };
  if (format < 0 || format > kLastDataFormat)
    return kNames[0];
  return kNames[format];
}

}  // namespace zivivar
