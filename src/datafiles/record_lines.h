// The record-line loop shared by the writers of every text format: the data
// is cut into lines of HexLineLen bytes, lines that are entirely blank are
// left out unless blank cells are to be saved, and each member of the family
// lays out its own line. Text is built in memory, lines end in CR LF, digits
// are upper case.
#pragma once

#include <cstdint>
#include <string>

#include "datafiles/data_format.h"
#include "datafiles/image_buffer.h"
#include "services/services.h"

namespace zivivar {

// The highest address that the 16-bit formats (S1, MOS Technology, Tektronix) hold.
inline constexpr uint32_t k16BitAddressLimit = 0xFFFF;

// One member of the record-line family.
class RecordLineLayout {
 public:
  virtual ~RecordLineLayout() = default;
  // Most data bytes one line can hold (its count field has two digits).
  virtual uint32_t MaxLineBytes() const = 0;
  // Appends the line for the n bytes at data, which belong at address (n may
  // be 0). Returns false, having appended nothing, when the format cannot
  // hold these addresses.
  virtual bool AppendLine(std::string& out, uint32_t address, const uint8_t* data, uint32_t n) = 0;
};

// Bytes per line for these options and this layout: HexLineLen, at least 1
// and at most what the layout's count field can hold.
uint32_t EffectiveLineLength(const DataFileOptions& options, const RecordLineLayout& layout);

// Writes count bytes of data, which belong at start onwards, as record lines.
// A line is written unless ff_save is off and it holds a full line of blank
// bytes; the loop runs at least once, so count 0 gives one empty line. Returns
// true, or false when the layout refused a line: *refused_address is then the
// first address of that line the format cannot hold, and out may hold part of
// the text.
bool WriteRecordLines(const uint8_t* data, uint32_t start, uint32_t count,
                      const DataFileOptions& options, RecordLineLayout& layout, std::string& out,
                      uint32_t* refused_address);

// Upper-case hexadecimal with leading zeros, digits (1 to 8) wide.
void AppendHex(std::string& out, uint32_t value, int digits);
// The n data bytes of a record, two digits each; returns their sum for the
// record's checksum.
uint32_t AppendHexBytes(std::string& out, const uint8_t* data, uint32_t n);
inline void AppendLineEnd(std::string& out) {
  out.append("\r\n", 2);
}

// True when the n bytes from address all lie at or below 0xFFFF.
inline bool FitsIn16Bits(uint32_t address, uint32_t n) {
  return address <= k16BitAddressLimit && (n == 0 || n - 1 <= k16BitAddressLimit - address);
}

// The refusal of a save in a 16-bit format whose data reaches address and
// beyond, naming the formats that can hold the data.
void ReportAddressBeyondFormat(Services& services, int format, uint32_t address);

}  // namespace zivivar
