// A good file is written, one character of one line is changed (and where
// wanted the line's checksum made to fit again, so that the next test is
// reached), and the file is read again: the message and the image must show
// exactly what the readers promise.
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

std::string Hex(uint32_t value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
  return buffer;
}

// Sum of the bytes written as hex digit pairs in line[from, to).
uint32_t ByteSum(const std::string& line, size_t from, size_t to) {
  uint32_t sum = 0;
  for (size_t pos = from; pos < to; pos += 2)
    sum += HexValue(line, pos, 2);
  return sum;
}

// Recomputes the checksum of a record line of format, independently of the writers.
void FixChecksum(int format, std::string& line) {
  const size_t n = line.size();
  switch (format) {
    case kFormatIntel8:
      line.replace(n - 2, 2, Hex((0x100 - (ByteSum(line, 1, n - 2) & 0xFF)) & 0xFF, 2));
      break;
    case kFormatS1:
      line.replace(n - 2, 2, Hex(~ByteSum(line, 2, n - 2) & 0xFF, 2));
      break;
    case kFormatMos:
      line.replace(n - 4, 4, Hex(ByteSum(line, 1, n - 4) & 0xFFFF, 4));
      break;
    case kFormatTektronix: {
      const uint32_t header = ByteSum(line, 1, 7) & 0xFF;
      line.replace(7, 2, Hex(header, 2));
      line.replace(n - 2, 2, Hex(ByteSum(line, 1, n - 2) & 0xFF, 2));
      break;
    }
  }
}

struct Corruption {
  int format;
  size_t line;      // 0-based among the file's lines
  size_t position;  // of the character changed
  char replacement;
  bool fix_checksum;
};

class CorruptRereadTest : public DataFileTest {
 protected:
  // Writes a 64-byte image (bytes 0x10 to 0x4F) in lines of 16 bytes and returns its lines.
  std::vector<std::string> WriteGoodFile(int format) {
    device.code_size = 64;
    options.hex_line_len = 16;
    for (uint32_t a = 0; a < 64; ++a)
      image.bytes[a] = static_cast<uint8_t>(a + 0x10);
    good_ = image.bytes;
    std::istringstream text(Save(format));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r')
        line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  // Applies the corruption, rewrites the file and reads it again.
  int Reread(const Corruption& c, std::vector<std::string> lines) {
    std::string& line = lines.at(c.line);
    line.at(c.position) = c.replacement;
    if (c.fix_checksum)
      FixChecksum(c.format, line);
    std::string text;
    for (const auto& l : lines)
      text += l + "\r\n";
    view.Clear();
    image.bytes.fill(0);
    return Load(text, "corrupt.hex");
  }

  std::array<uint8_t, kImageBufferSize> good_{};
};

// Line indexes of the first data line: Intel8 and MOS/Tek start with data,
// S1 behind its header.
size_t FirstDataLine(int format) {
  return format == kFormatS1 ? 1 : 0;
}
// Position of the first data digit of a record line.
size_t FirstDataDigit(int format) {
  switch (format) {
    case kFormatIntel8:
      return 9;
    case kFormatS1:
      return 8;
    case kFormatMos:
      return 7;
    default:
      return 9;
  }
}

class EveryTextFormat : public CorruptRereadTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryTextFormat, ChangedDataDigitIsCaughtByTheChecksumAtItsLine) {
  const int format = GetParam();
  const auto lines = WriteGoodFile(format);
  const size_t bad_line = FirstDataLine(format) + 2;  // third data line: addresses 0x20..0x2F
  const size_t pos = FirstDataDigit(format) + 1;      // low digit of the byte at 0x20 (0x30)
  EXPECT_EQ(Reread({format, bad_line, pos, '1', false}, lines), kLoadFailed);
  const std::string text = OnlyMessage();
  EXPECT_EQ(
      text.rfind("Prüfsumme der HEX-Zeile " + std::to_string(bad_line + 1) + " stimmt nicht", 0),
      0u)
      << text;
  // The changed digit makes 0x30 into 0x31: the sum computed is one higher than the one read.
  const size_t read_at = text.find("Gelesen 0x") + 10;
  const size_t computed_at = text.find("Berechnet 0x") + 12;
  const uint32_t read = HexValue(text, read_at, 4);
  const uint32_t computed = HexValue(text, computed_at, 4);
  const uint32_t modulus = format == kFormatMos ? 0x10000 : 0x100;
  if (format == kFormatIntel8 || format == kFormatS1) {
    EXPECT_EQ((read + modulus - 1) % modulus, computed);  // complements go down
  } else {
    EXPECT_EQ((read + 1) % modulus, computed);
  }
  // Earlier lines are in the image; the faulty line was stored before its test.
  for (uint32_t a = 0; a < 0x20; ++a)
    ASSERT_EQ(image.bytes[a], good_[a]) << a;
  EXPECT_EQ(image.bytes[0x20], 0x31);
  EXPECT_EQ(image.bytes[0x30], kBlankByte);
}

TEST_P(EveryTextFormat, ChangedDataWithAFittingChecksumLoadsTheChange) {
  const int format = GetParam();
  const auto lines = WriteGoodFile(format);
  ASSERT_EQ(Reread({format, FirstDataLine(format) + 1, FirstDataDigit(format), 'A', true}, lines),
            kLoadOk)
      << Messages();
  auto expected = good_;
  expected[0x10] = 0xA0;
  EXPECT_TRUE(image.bytes == expected);
}

TEST_P(EveryTextFormat, ChangedCountIsCaughtByTheLengthTest) {
  const int format = GetParam();
  const auto lines = WriteGoodFile(format);
  const size_t count_digit = format == kFormatTektronix ? 6 : format == kFormatS1 ? 3 : 2;
  // Count 0x10 becomes 0x1F (S1: 0x13 becomes 0x1F).
  EXPECT_EQ(Reread({format, FirstDataLine(format), count_digit, 'F', true}, lines), kLoadFailed);
  const uint32_t line_number = static_cast<uint32_t>(FirstDataLine(format) + 1);
  const uint32_t expected = format == kFormatS1 ? 2 * 0x1F + 4 : 2 * 0x1F + 11;
  const uint32_t actual = format == kFormatS1 ? 2 * 0x13 + 4 : 2 * 0x10 + 11;
  EXPECT_EQ(OnlyMessage(), "Länge der HEX-Zeile " + std::to_string(line_number) +
                               " stimmt nicht !\n\nGelesen " + std::to_string(actual) +
                               "\nBerechnet " + std::to_string(expected) + "\n");
  EXPECT_EQ(image.loaded_byte_count, static_cast<uint32_t>(0));
}

TEST_P(EveryTextFormat, ChangedStartCharacterIsCaughtAtItsLine) {
  const int format = GetParam();
  const auto lines = WriteGoodFile(format);
  const size_t bad_line = FirstDataLine(format) + 3;
  EXPECT_EQ(Reread({format, bad_line, 0, '#', false}, lines), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Zeilenanfang in Zeile " + std::to_string(bad_line + 1) +
                               "\nder Hex-Datei nicht gefunden !");
  EXPECT_EQ(image.loaded_byte_count, 48u);
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryTextFormat,
                         ::testing::Values(kFormatIntel8, kFormatS1, kFormatMos, kFormatTektronix),
                         [](const auto& param_info) {
                           switch (param_info.param) {
                             case kFormatIntel8:
                               return std::string("Intel");
                             case kFormatS1:
                               return std::string("SRecord");
                             case kFormatMos:
                               return std::string("Mos");
                             default:
                               return std::string("Tektronix");
                           }
                         });

TEST_F(CorruptRereadTest, TektronixAddressChangeStopsAtTheHeaderChecksum) {
  const auto lines = WriteGoodFile(kFormatTektronix);
  // Address 0x0010 becomes 0x0090, the data checksum is made to fit, the header one is not.
  std::vector<std::string> changed = lines;
  changed[1][3] = '9';
  const std::string header = changed[1].substr(7, 2);
  FixChecksum(kFormatTektronix, changed[1]);
  changed[1].replace(7, 2, header);
  std::string text;
  for (const auto& l : changed)
    text += l + "\r\n";
  EXPECT_EQ(Load(text, "corrupt.hex"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(),
            "Prüfsumme der HEX-Zeile 2 stimmt nicht !\n\nGelesen 0x0020\nBerechnet 0x00A0\n");
  EXPECT_EQ(image.loaded_byte_count, 16u);  // nothing of line 2 stored
  EXPECT_EQ(image.bytes[0x90], kBlankByte);
}

}  // namespace
}  // namespace zivivar
