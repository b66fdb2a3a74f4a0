#include "datafiles/mos_tek_hex.h"

#include <algorithm>

#include "datafiles/record_lines.h"
#include "datafiles/text_records.h"

namespace zivivar {
namespace {

uint32_t DigitSum(uint32_t value) {
  uint32_t sum = 0;
  for (; value != 0; value >>= 4)
    sum += value & 0xF;
  return sum;
}

class MosLayout : public RecordLineLayout {
 public:
  uint32_t MaxLineBytes() const override { return 0xFF; }
  bool AppendLine(std::string& out, uint32_t address, const uint8_t* data, uint32_t n) override {
    if (!FitsIn16Bits(address, n))
      return false;
    uint32_t sum = n + (address >> 8) + (address & 0xFF);
    out.push_back(';');
    AppendHex(out, n, 2);
    AppendHex(out, address, 4);
    sum += AppendHexBytes(out, data, n);
    AppendHex(out, sum & 0xFFFF, 4);
    AppendLineEnd(out);
    return true;
  }
};

class TektronixLayout : public RecordLineLayout {
 public:
  explicit TektronixLayout(bool digit_sums) : digit_sums_(digit_sums) {}
  uint32_t MaxLineBytes() const override { return 0xFF; }
  bool AppendLine(std::string& out, uint32_t address, const uint8_t* data, uint32_t n) override {
    if (!FitsIn16Bits(address, n))
      return false;
    const uint32_t header = digit_sums_ ? (DigitSum(address) + DigitSum(n)) & 0xFF
                                        : (n + (address >> 8) + (address & 0xFF)) & 0xFF;
    out.push_back('/');
    AppendHex(out, address, 4);
    AppendHex(out, n, 2);
    AppendHex(out, header, 2);
    uint32_t sum = 0;
    if (digit_sums_) {
      AppendHexBytes(out, data, n);
      for (uint32_t i = 0; i < n; ++i)
        sum += DigitSum(data[i]);
    } else {
      sum = (address >> 8) + (address & 0xFF) + n + header + AppendHexBytes(out, data, n);
    }
    AppendHex(out, sum & 0xFF, 2);
    AppendLineEnd(out);
    return true;
  }

 private:
  bool digit_sums_;
};

SaveResult WriteLines(const ImageBuffer& image, uint32_t memory_size, int format,
                      const DataFileOptions& options, RecordLineLayout& layout, Services& services,
                      std::string& out) {
  uint32_t refused = 0;
  const uint32_t size = std::min(memory_size, kImageBufferSize);
  if (!WriteRecordLines(image.bytes.data(), 0, size, options, layout, out, &refused)) {
    ReportAddressBeyondFormat(services, format, refused);
    return SaveResult::kFailed;
  }
  return SaveResult::kOk;
}

}  // namespace

LoadResult ReadMosFile(TextReader& file, ImageBuffer& image, Services& services,
                       bool test_checksum) {
  LineRecordReader in(file, image, services, test_checksum);
  while (in.NextLine()) {
    // The end record is known by its count alone, before the start character.
    if (in.At(1) == '0' && in.At(2) == '0')
      return LoadResult::kOk;
    if (in.At(0) != ';')
      return in.LineStartError();
    const uint32_t n = in.Byte(1);
    uint32_t sum = n;
    if (!in.TrimAndCheckLength(2 * n + 11))
      return LoadResult::kFailed;
    uint32_t address = in.Field(3, 4);
    sum += (address >> 8) + (address & 0xFF);
    if (n == 0)
      continue;
    for (uint32_t i = 0; i < n; ++i) {
      const uint8_t byte = in.Byte(7 + 2 * i);
      sum += byte;
      in.StoreByte(address, byte);
    }
    if (!in.ChecksumMatches(in.Field(7 + 2 * n, 4), sum & 0xFFFF))
      return LoadResult::kFailed;
  }
  return LoadResult::kOk;
}

LoadResult ReadTektronixFile(TextReader& file, ImageBuffer& image, Services& services,
                             bool test_checksum, bool digit_sums) {
  LineRecordReader in(file, image, services, test_checksum);
  while (in.NextLine()) {
    if (in.At(0) != '/')
      return in.LineStartError();
    const uint32_t n = in.Byte(5);
    if (n == 0)
      return LoadResult::kOk;
    if (!in.TrimAndCheckLength(2 * n + 11))
      return LoadResult::kFailed;
    uint32_t address = in.Field(1, 4);

    const uint32_t header_read = in.Byte(7);
    const uint32_t header_bytes = (n + (address >> 8) + (address & 0xFF)) & 0xFF;
    const uint32_t header_digits = (DigitSum(address) + DigitSum(n)) & 0xFF;
    // The header tells which rule the file follows; the data checksum is
    // tested by that rule (by the configured one when neither fits).
    const bool byte_header = header_read == header_bytes;
    const bool digit_header = header_read == header_digits;
    if (!byte_header && !digit_header &&
        !in.ChecksumMatches(header_read, digit_sums ? header_digits : header_bytes)) {
      return LoadResult::kFailed;
    }

    uint32_t sum = (address >> 8) + (address & 0xFF) + n + header_bytes;
    uint32_t digits = 0;
    for (uint32_t i = 0; i < n; ++i) {
      const uint8_t byte = in.Byte(9 + 2 * i);
      sum += byte;
      digits += DigitSum(byte);
      in.StoreByte(address, byte);
    }
    const uint32_t data_read = in.Byte(9 + 2 * n);
    const bool data_matches = (byte_header && data_read == (sum & 0xFF)) ||
                              (digit_header && data_read == (digits & 0xFF));
    if (!data_matches) {
      const bool by_digits = byte_header == digit_header ? digit_sums : digit_header;
      const uint32_t computed = by_digits ? digits & 0xFF : sum & 0xFF;
      if (!in.ChecksumMatches(data_read, computed))
        return LoadResult::kFailed;
    }
  }
  return LoadResult::kOk;
}

SaveResult WriteMosFile(const ImageBuffer& image, uint32_t memory_size,
                        const DataFileOptions& options, Services& services, std::string& out) {
  MosLayout layout;
  return WriteLines(image, memory_size, kFormatMos, options, layout, services, out);
}

SaveResult WriteTektronixFile(const ImageBuffer& image, uint32_t memory_size,
                              const DataFileOptions& options, Services& services,
                              std::string& out) {
  TektronixLayout layout(options.tek_digit_sums);
  return WriteLines(image, memory_size, kFormatTektronix, options, layout, services, out);
}

}  // namespace zivivar
