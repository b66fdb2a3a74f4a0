// A good file is written, one character of one data line is changed (and,
// where wanted, the line's checksum made to fit again, so that the next test
// is reached), and the file is read again: the message and the image must
// show exactly what the readers promise.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

uint32_t HexValue(const std::string& text, size_t pos, size_t digits) {
  return static_cast<uint32_t>(std::stoul(text.substr(pos, digits), nullptr, 16));
}

// Sum of the bytes written as hex digit pairs in line[from, to).
uint32_t ByteSum(const std::string& line, size_t from, size_t to) {
  uint32_t sum = 0;
  for (size_t pos = from; pos < to; pos += 2)
    sum += HexValue(line, pos, 2);
  return sum;
}

void PutHex(std::string& line, size_t pos, uint32_t value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
  line.replace(pos, static_cast<size_t>(digits), buffer);
}

struct Layout {
  int format;
  size_t first_data_line;   // index among the file's lines
  size_t first_data_digit;  // position in a record line
  size_t count_digit;       // low digit of the count field
};

class CorruptRereadTest : public DataFileTest, public ::testing::WithParamInterface<Layout> {
 protected:
  // Writes 64 bytes (0x10 to 0x4F) in lines of 16 and returns the file's lines.
  void WriteGoodFile() {
    device.code_size = 64;
    options.hex_line_len = 16;
    for (uint32_t a = 0; a < 64; ++a)
      image.bytes[a] = static_cast<uint8_t>(a + 0x10);
    good_ = image.bytes;
    std::istringstream text(Save(GetParam().format));
    for (std::string line; std::getline(text, line);)
      lines_.push_back(line.substr(0, line.size() - 1));
  }

  // Recomputes the checksum of a record line, independently of the writers.
  void FixChecksum(std::string& line) const {
    const size_t n = line.size();
    switch (GetParam().format) {
      case kFormatIntel8:
        PutHex(line, n - 2, (0x100 - (ByteSum(line, 1, n - 2) & 0xFF)) & 0xFF, 2);
        break;
      case kFormatS1:
        PutHex(line, n - 2, ~ByteSum(line, 2, n - 2) & 0xFF, 2);
        break;
      case kFormatMos:
        PutHex(line, n - 4, ByteSum(line, 1, n - 4) & 0xFFFF, 4);
        break;
      default:
        PutHex(line, 7, ByteSum(line, 1, 7) & 0xFF, 2);
        PutHex(line, n - 2, ByteSum(line, 1, n - 2) & 0xFF, 2);
    }
  }

  // Changes line (counted from the first data line) at pos, and reads the file again.
  int Reread(size_t line, size_t pos, char replacement, bool fix_checksum) {
    std::vector<std::string> lines = lines_;
    std::string& changed = lines.at(GetParam().first_data_line + line);
    changed.at(pos) = replacement;
    if (fix_checksum)
      FixChecksum(changed);
    std::string text;
    for (const auto& l : lines)
      text += l + "\r\n";
    view.Clear();
    image.bytes.fill(0);
    return Load(text, "corrupt.hex");
  }

  std::vector<std::string> lines_;
  std::array<uint8_t, kImageBufferSize> good_{};
};

TEST_P(CorruptRereadTest, ChangedDataIsCaughtByTheChecksumOfItsLine) {
  WriteGoodFile();
  // The byte at 0x20, 0x30, becomes 0x31.
  EXPECT_EQ(Reread(2, GetParam().first_data_digit + 1, '1', false), kLoadFailed);
  const std::string text = OnlyMessage();
  const uint32_t line_number = static_cast<uint32_t>(GetParam().first_data_line + 3);
  EXPECT_EQ(text.rfind("Prüfsumme der HEX-Zeile " + std::to_string(line_number) + " stimmt", 0), 0u)
      << text;
  const uint32_t read = HexValue(text, text.find("Gelesen 0x") + 10, 4);
  const uint32_t computed = HexValue(text, text.find("Berechnet 0x") + 12, 4);
  const uint32_t modulus = GetParam().format == kFormatMos ? 0x10000 : 0x100;
  const bool complement = GetParam().format == kFormatIntel8 || GetParam().format == kFormatS1;
  EXPECT_EQ(computed, (read + (complement ? modulus - 1 : 1)) % modulus);
  // Earlier lines are in the image; the faulty line was stored before its test.
  for (uint32_t a = 0; a < 0x20; ++a)
    ASSERT_EQ(image.bytes[a], good_[a]) << a;
  EXPECT_EQ(image.bytes[0x20], 0x31);
  EXPECT_EQ(image.bytes[0x30], kBlankByte);
}

TEST_P(CorruptRereadTest, ChangedDataWithAFittingChecksumLoadsTheChange) {
  WriteGoodFile();
  ASSERT_EQ(Reread(1, GetParam().first_data_digit, 'A', true), kLoadOk) << Messages();
  auto expected = good_;
  expected[0x10] = 0xA0;
  EXPECT_TRUE(image.bytes == expected);
}

TEST_P(CorruptRereadTest, ChangedCountIsCaughtByTheLengthTest) {
  WriteGoodFile();
  // Count 0x10 becomes 0x1F (S1: 0x13, which counts address and checksum too).
  EXPECT_EQ(Reread(0, GetParam().count_digit, 'F', true), kLoadFailed);
  const bool s1 = GetParam().format == kFormatS1;
  const int line_number = static_cast<int>(GetParam().first_data_line + 1);
  EXPECT_EQ(OnlyMessage(), "Länge der HEX-Zeile " + std::to_string(line_number) +
                               " stimmt nicht !\n\nGelesen " +
                               std::to_string(s1 ? 2 * 0x13 + 4 : 2 * 0x10 + 11) + "\nBerechnet " +
                               std::to_string(s1 ? 2 * 0x1F + 4 : 2 * 0x1F + 11) + "\n");
  EXPECT_EQ(image.loaded_byte_count, 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, CorruptRereadTest,
                         ::testing::Values(Layout{kFormatIntel8, 0, 9, 2},
                                           Layout{kFormatS1, 1, 8, 3}, Layout{kFormatMos, 0, 7, 2},
                                           Layout{kFormatTektronix, 0, 9, 6}),
                         [](const auto& param_info) {
                           std::string name = DataFormatName(param_info.param.format);
                           std::erase_if(name, [](char c) { return !std::isalnum(c); });
                           return name;
                         });

}  // namespace
}  // namespace zivivar
