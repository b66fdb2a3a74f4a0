#include "datafiles/text_records.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace zivivar {

uint32_t ParseHexField(std::string_view line, size_t pos, int digits) {
  if (digits > 8)
    digits = 8;
  uint32_t value = 0;
  const size_t end = std::min(line.size(), pos + static_cast<size_t>(digits < 0 ? 0 : digits));
  for (; pos < end; ++pos) {
    const int digit = kHexDigitValues[static_cast<unsigned char>(line[pos])];
    if (digit < 0)
      break;
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  return value;
}

std::string_view TrimLine(std::string_view line) {
  // One vectorised search per character that ends a line, each over what is
  // left: much faster than testing every character against the set.
  size_t end = line.size();
  for (const char stop : {'\n', '\r', ' '}) {
    const void* found = std::memchr(line.data(), stop, end);
    if (found != nullptr)
      end = static_cast<size_t>(static_cast<const char*>(found) - line.data());
  }
  return line.substr(0, end);
}

void ReportLineStartError(Services& services, uint32_t line_number) {
  char text[96];
  std::snprintf(text, sizeof text,
                services.Translate("Zeilenanfang in Zeile %lu\nder Hex-Datei nicht gefunden !"),
                static_cast<unsigned long>(line_number));
  services.ShowMessage(text);
}

void ReportLineLengthError(Services& services, uint32_t line_number, uint32_t actual,
                           uint32_t expected) {
  char text[128];
  std::snprintf(
      text, sizeof text,
      services.Translate("Länge der HEX-Zeile %lu stimmt nicht !\n\nGelesen %lu\nBerechnet %lu\n"),
      static_cast<unsigned long>(line_number), static_cast<unsigned long>(actual),
      static_cast<unsigned long>(expected));
  services.ShowMessage(text);
}

void ReportChecksumError(Services& services, uint32_t line_number, uint32_t read,
                         uint32_t computed) {
  char text[128];
  std::snprintf(text, sizeof text,
                services.Translate("Prüfsumme der HEX-Zeile %lu stimmt nicht !\n\nGelesen "
                                   "0x%04X\nBerechnet 0x%04X\n"),
                static_cast<unsigned long>(line_number), read, computed);
  services.ShowMessage(text);
}

LineRecordReader::LineRecordReader(TextReader& file, ImageBuffer& image, Services& services,
                                   bool test_checksum)
    : file_(file), image_(image), services_(services), test_checksum_(test_checksum) {
  image_.loaded_byte_count = 0;
  image_.highest_loaded_address = 0;
  buffer_.reserve(TextReader::kLineBufferSize);
}

bool LineRecordReader::NextLine() {
  if (!file_.ReadLine(buffer_))
    return false;
  line_ = buffer_;
  ++line_number_;
  return true;
}

bool LineRecordReader::TrimAndCheckLength(size_t expected) {
  line_ = TrimLine(line_);
  if (line_.size() == expected)
    return true;
  LengthError(line_.size(), expected);
  return false;
}

bool LineRecordReader::ChecksumMatches(uint32_t read, uint32_t computed) {
  if (!test_checksum_ || read == computed)
    return true;
  ReportChecksumError(services_, line_number_, read, computed);
  return false;
}

LoadResult LineRecordReader::LineStartError() {
  ReportLineStartError(services_, line_number_);
  return LoadResult::kFailed;
}

LoadResult LineRecordReader::LengthError(size_t actual, size_t expected) {
  ReportLineLengthError(services_, line_number_, static_cast<uint32_t>(actual),
                        static_cast<uint32_t>(expected));
  return LoadResult::kFailed;
}

}  // namespace zivivar
