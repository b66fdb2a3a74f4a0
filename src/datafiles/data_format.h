// The data formats the system reads and writes, numbered as the settings
// store them and as the save dialog lists them (filter position minus one).
#pragma once

#include <cstdint>

namespace zivivar {

enum DataFormat : int {
  kFormatUnknown = 0,  // not recognised, or the file could not be opened
  kFormatBinary = 1,
  kFormatIntel8 = 2,    // Intel HEX, data records only
  kFormatIntel32 = 3,   // Intel HEX with extended linear address records
  kFormatIntelMcs = 4,  // Intel HEX with extended segment address records
  kFormatS1 = 5,        // Motorola S-records, 16-bit addresses
  kFormatS2 = 6,        // 24-bit addresses
  kFormatS3 = 7,        // 32-bit addresses
  kFormatMos = 8,       // MOS Technology hex
  kFormatTektronix = 9,
};

inline constexpr int kLastDataFormat = kFormatTektronix;

// Results of loading (and of each reader) and of saving (and of each
// writer). A failure has been reported to the user by the time it returns.
enum class LoadResult { kOk, kFailed };
enum class SaveResult { kOk, kFailed };

// The format's name as the user sees it ("Intel8", "Motorola S2 Exormax", ...);
// "Alle Dateien" for 0 and for numbers outside 0 to 9.
const char* DataFormatName(int format);

inline bool IsIntelFormat(int format) {
  return format >= kFormatIntel8 && format <= kFormatIntelMcs;
}
inline bool IsSRecordFormat(int format) {
  return format >= kFormatS1 && format <= kFormatS3;
}

// The settings that reading and writing data files depend on, taken by value
// from the settings at every call.
struct DataFileOptions {
  bool test_checksum = true;   // "Checksummen prüfen": record checksums are tested on reading
  uint32_t hex_line_len = 32;  // data bytes per record line written
  bool ff_save = false;        // "Leerzellen speichern": blank lines and bytes are written too
  // "TekChecksum": Tektronix checksums as sums of hexadecimal digits, the
  // rule other tools follow, instead of this system's sums of bytes.
  bool tek_digit_sums = false;
};

}  // namespace zivivar
