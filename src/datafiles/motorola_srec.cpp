#include "datafiles/motorola_srec.h"

#include <algorithm>

#include "datafiles/record_lines.h"
#include "datafiles/text_records.h"

namespace zivivar {
namespace {

// Address bytes of the data and count record types, 0 for the others.
int AddressBytes(char type) {
  switch (type) {
    case '1':
    case '5':
      return 2;
    case '2':
    case '6':
      return 3;
    case '3':
      return 4;
    default:
      return 0;
  }
}

uint32_t SumOfBytes(uint32_t value) {
  return (value >> 24) + ((value >> 16) & 0xFF) + ((value >> 8) & 0xFF) + (value & 0xFF);
}

class SRecordLayout : public RecordLineLayout {
 public:
  explicit SRecordLayout(int format)
      : type_(static_cast<char>('1' + (format - kFormatS1))),
        address_bytes_(2 + (format - kFormatS1)) {}

  // The count field covers address, data and checksum and has two digits.
  uint32_t MaxLineBytes() const override {
    return 0xFF - static_cast<uint32_t>(address_bytes_) - 1;
  }

  bool AppendLine(std::string& out, uint32_t address, const uint8_t* data, uint32_t n) override {
    if (address_bytes_ == 2 && !FitsIn16Bits(address, n))
      return false;
    AppendSRecord(out, type_, address_bytes_, address, data, n);
    return true;
  }

 private:
  char type_;
  int address_bytes_;
};

}  // namespace

void AppendSRecord(std::string& out, char type, int address_bytes, uint32_t address,
                   const uint8_t* data, uint32_t n) {
  const uint32_t count = n + static_cast<uint32_t>(address_bytes) + 1;
  uint32_t sum = count + SumOfBytes(address);
  out.push_back('S');
  out.push_back(type);
  AppendHex(out, count, 2);
  AppendHex(out, address, 2 * address_bytes);
  sum += AppendHexBytes(out, data, n);
  AppendHex(out, ~sum & 0xFF, 2);
  AppendLineEnd(out);
}

LoadResult ReadSRecordFile(TextReader& file, ImageBuffer& image, Services& services,
                           bool test_checksum) {
  LineRecordReader in(file, image, services, test_checksum);
  while (in.NextLine()) {
    const char type = in.At(1);
    if (in.At(0) == 'S' && (type == '7' || type == '8' || type == '9'))
      return LoadResult::kOk;
    if (in.At(0) == 'S' && type == '0')
      continue;
    const int w = in.At(0) == 'S' ? AddressBytes(type) : 0;
    if (w == 0)
      return in.LineStartError();
    const bool count_record = type == '5' || type == '6';

    const uint32_t count = in.Byte(2);
    uint32_t sum = count;
    if (!in.TrimAndCheckLength(2 * count + 4))
      return LoadResult::kFailed;
    // A record too short for its address and checksum: refused, so that no
    // field is taken from beyond the line.
    const uint32_t minimum = static_cast<uint32_t>(w) + 1;
    if (count < minimum)
      return in.LengthError(in.line().size(), 2 * minimum + 4);

    uint32_t address = in.Field(4, 2 * w);
    sum += SumOfBytes(address);
    if (count == minimum && !count_record)
      continue;
    const uint32_t data_end = 2 * count + 2;
    for (uint32_t pos = 4 + 2 * static_cast<uint32_t>(w); pos < data_end; pos += 2) {
      const uint8_t byte = in.Byte(pos);
      sum += byte;
      if (!count_record)
        in.StoreByte(address, byte);
    }
    if (!in.ChecksumMatches(in.Byte(data_end), ~sum & 0xFF))
      return LoadResult::kFailed;
  }
  return LoadResult::kOk;
}

SaveResult WriteSRecordFile(const ImageBuffer& image, uint32_t memory_size, int format,
                            const DataFileOptions& options, Services& services, std::string& out) {
  const auto* header = reinterpret_cast<const uint8_t*>(kSRecordHeaderText);
  AppendSRecord(out, '0', 2, 0, header, sizeof kSRecordHeaderText - 1);
  SRecordLayout layout(format);
  // S2 and S3 files open with an empty data record at address 0.
  if (format != kFormatS1)
    WriteRecordLines(image.bytes.data(), 0, 0, options, layout, out, nullptr);
  uint32_t refused = 0;
  const uint32_t size = std::min(memory_size, kImageBufferSize);
  if (!WriteRecordLines(image.bytes.data(), 0, size, options, layout, out, &refused)) {
    ReportAddressBeyondFormat(services, format, refused);
    return SaveResult::kFailed;
  }
  const int end_address_bytes = 2 + (format - kFormatS1);
  AppendSRecord(out, static_cast<char>('9' - (format - kFormatS1)), end_address_bytes, 0, nullptr,
                0);
  return SaveResult::kOk;
}

}  // namespace zivivar
