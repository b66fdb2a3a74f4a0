#include "datafiles/intel_hex.h"

#include <algorithm>

#include "datafiles/record_lines.h"
#include "datafiles/text_records.h"

namespace zivivar {
namespace {

constexpr uint8_t kDataRecord = 0x00;
constexpr uint8_t kEndRecord = 0x01;
constexpr uint8_t kSegmentRecord = 0x02;
constexpr uint8_t kLinearRecord = 0x04;
constexpr uint32_t kBankSize = 0x10000;

void AppendAddressRecord(std::string& out, uint8_t type, uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  AppendIntelRecord(out, type, 0, bytes, 2);
}

class IntelLayout : public RecordLineLayout {
 public:
  explicit IntelLayout(int format) : format_(format) {}

  uint32_t MaxLineBytes() const override { return 0xFF; }

  bool AppendLine(std::string& out, uint32_t address, const uint8_t* data, uint32_t n) override {
    if (n == 0) {
      AppendIntelRecord(out, kEndRecord, 0, nullptr, 0);
      return true;
    }
    while (n > 0) {
      const uint32_t bank = address / kBankSize;
      if (bank != bank_) {
        if (format_ == kFormatIntel32) {
          AppendAddressRecord(out, kLinearRecord, static_cast<uint16_t>(bank));
        } else {
          AppendAddressRecord(out, kSegmentRecord, static_cast<uint16_t>(bank * (kBankSize / 16)));
        }
        bank_ = bank;
      }
      const uint32_t chunk = std::min(n, kBankSize - address % kBankSize);
      AppendIntelRecord(out, kDataRecord, static_cast<uint16_t>(address), data, chunk);
      address += chunk;
      data += chunk;
      n -= chunk;
    }
    return true;
  }

 private:
  int format_;
  uint32_t bank_ = 0;  // the bank that the last address record (or the file start) selected
};

}  // namespace

void AppendIntelRecord(std::string& out, uint8_t type, uint16_t address, const uint8_t* data,
                       uint32_t n) {
  uint32_t sum = n + (address >> 8) + (address & 0xFF) + type;
  out.push_back(':');
  AppendHex(out, n, 2);
  AppendHex(out, address, 4);
  AppendHex(out, type, 2);
  sum += AppendHexBytes(out, data, n);
  AppendHex(out, (0x100 - (sum & 0xFF)) & 0xFF, 2);
  AppendLineEnd(out);
}

LoadResult ReadIntelFile(TextReader& file, ImageBuffer& image, Services& services,
                         bool test_checksum) {
  LineRecordReader in(file, image, services, test_checksum);
  uint32_t offset = 0;
  while (in.NextLine()) {
    if (in.At(0) != ':')
      return in.LineStartError();
    const uint32_t n = in.Byte(1);
    const uint8_t type = in.Byte(7);
    // The end record is taken as it is: nothing after it is looked at.
    if (type == kEndRecord)
      return LoadResult::kOk;
    uint32_t sum = n + type;
    if (!in.TrimAndCheckLength(2 * n + 11))
      return LoadResult::kFailed;
    uint32_t address = in.Field(3, 4);
    sum += (address >> 8) + (address & 0xFF);
    if (n == 0)
      continue;
    switch (type) {
      case kDataRecord: {
        // Not cut to 16 bits: a record running past 0xFFFF goes on at 0x10000.
        uint32_t target = address + offset;
        for (uint32_t i = 0; i < n; ++i) {
          const uint8_t byte = in.Byte(9 + 2 * i);
          sum += byte;
          in.StoreByte(target, byte);
        }
        break;
      }
      case kSegmentRecord:
      case kLinearRecord: {
        const uint32_t value = in.Field(9, 4);
        sum += (value >> 8) + (value & 0xFF);
        offset = type == kSegmentRecord ? value * 16 : value << 16;
        break;
      }
      default:
        for (uint32_t i = 0; i < n; ++i)
          sum += in.Byte(9 + 2 * i);
        break;
    }
    if (!in.ChecksumMatches(in.Byte(9 + 2 * n), (0x100 - (sum & 0xFF)) & 0xFF)) {
      return LoadResult::kFailed;
    }
  }
  return LoadResult::kOk;
}

SaveResult WriteIntelFile(const ImageBuffer& image, uint32_t memory_size, int format,
                          const DataFileOptions& options, std::string& out) {
  static constexpr uint8_t kZero[2] = {0, 0};
  if (format == kFormatIntel32)
    AppendIntelRecord(out, kLinearRecord, 0, kZero, 2);
  if (format == kFormatIntel32 || format == kFormatIntelMcs) {
    AppendIntelRecord(out, kSegmentRecord, 0, kZero, 2);
  }
  IntelLayout layout(format);
  const uint32_t size = std::min(memory_size, kImageBufferSize);
  WriteRecordLines(image.bytes.data(), 0, size, options, layout, out, nullptr);
  AppendIntelRecord(out, kEndRecord, 0, nullptr, 0);
  return SaveResult::kOk;
}

}  // namespace zivivar
