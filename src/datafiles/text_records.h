// What the text-format readers share: hexadecimal fields, the trimming of a
// line, the store rule for data bytes, the three per-line error reports, and
// LineRecordReader, which ties them to one file being read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text_reader.h"
#include "datafiles/data_format.h"
#include "datafiles/image_buffer.h"
#include "services/services.h"

namespace zivivar {

// The value of every character as a hexadecimal digit; -1 for the others.
inline constexpr std::array<int8_t, 256> kHexDigitValues = [] {
  std::array<int8_t, 256> values{};
  for (int c = 0; c < 256; ++c) {
    values[static_cast<size_t>(c)] = static_cast<int8_t>(-1);
    if (c >= '0' && c <= '9')
      values[static_cast<size_t>(c)] = static_cast<int8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
      values[static_cast<size_t>(c)] = static_cast<int8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
      values[static_cast<size_t>(c)] = static_cast<int8_t>(c - 'a' + 10);
  }
  return values;
}();

// The value of the leading run of hexadecimal digits (either case) among the
// digits characters at pos, at most 8. Reading stops at the first other
// character and at the end of the line, so a field that starts with another
// character, or lies beyond the line, gives 0.
uint32_t ParseHexField(std::string_view line, size_t pos, int digits);
// ParseHexField with two digits; the readers' most frequent call, so the
// usual case of two digits inside the line is taken here.
inline uint8_t ParseHexByte(std::string_view line, size_t pos) {
  if (pos < line.size() && line.size() - pos >= 2) {
    const int high = kHexDigitValues[static_cast<unsigned char>(line[pos])];
    const int low = kHexDigitValues[static_cast<unsigned char>(line[pos + 1])];
    if ((high | low) >= 0)
      return static_cast<uint8_t>(high << 4 | low);
  }
  return static_cast<uint8_t>(ParseHexField(line, pos, 2));
}

// The line up to its first carriage return, line feed or blank.
std::string_view TrimLine(std::string_view line);

// The store rule: a byte at an address inside the image is stored (a later
// byte for the same address wins); every byte counts, raises the highest
// address, and moves address on by one.
inline void StoreByte(ImageBuffer& image, uint32_t& address, uint8_t byte) {
  if (address < kImageBufferSize)
    image.bytes[address] = byte;
  if (address > image.highest_loaded_address)
    image.highest_loaded_address = address;
  ++image.loaded_byte_count;
  ++address;
}

void ReportLineStartError(Services& services, uint32_t line_number);
void ReportLineLengthError(Services& services, uint32_t line_number, uint32_t actual,
                           uint32_t expected);
void ReportChecksumError(Services& services, uint32_t line_number, uint32_t read,
                         uint32_t computed);

// One text reader's pass over an open file: counts the lines from 1, parses
// fields of the current line, stores bytes and reports errors naming the line.
// The file, image and services must outlive the object.
class LineRecordReader {
 public:
  // Resets both load counters of image, as every text reader does first.
  LineRecordReader(TextReader& file, ImageBuffer& image, Services& services, bool test_checksum);

  // Reads the next line (at most 1023 characters) and counts it. False at
  // the end of the file.
  bool NextLine();

  std::string_view line() const { return line_; }
  uint32_t line_number() const { return line_number_; }
  char At(size_t pos) const { return pos < line_.size() ? line_[pos] : '\0'; }
  uint8_t Byte(size_t pos) const { return ParseHexByte(line_, pos); }
  uint32_t Field(size_t pos, int digits) const { return ParseHexField(line_, pos, digits); }

  // Trims the line; when its length is not expected, reports the length error
  // and returns false. Every later field lies inside the trimmed line.
  bool TrimAndCheckLength(size_t expected);
  // With the checksum test on, reports a mismatch and returns false; with it
  // off every checksum passes.
  bool ChecksumMatches(uint32_t read, uint32_t computed);
  void StoreByte(uint32_t& address, uint8_t byte) { zivivar::StoreByte(image_, address, byte); }
  // Reports the line-start error for this line; returns LoadResult::kFailed.
  LoadResult LineStartError();
  // Reports a length error with explicit numbers; returns LoadResult::kFailed.
  LoadResult LengthError(size_t actual, size_t expected);

  bool test_checksum() const { return test_checksum_; }

 private:
  TextReader& file_;
  ImageBuffer& image_;
  Services& services_;
  bool test_checksum_;
  std::string buffer_;
  std::string_view line_;
  uint32_t line_number_ = 0;
};

}  // namespace zivivar
