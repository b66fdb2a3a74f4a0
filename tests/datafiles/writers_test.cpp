// The text every writer makes of an image, byte for byte, what it does with
// memories larger than its addresses reach, and reading every format back.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

std::string BeyondFormatMessage(int format, const std::string& address) {
  return "Daten ab Adresse " + address + " passen nicht in das Format\n" + DataFormatName(format) +
         " (nur Adressen bis 0xFFFF) !\n\nSpeichervorgang abgebrochen.\n\nDiese Daten lassen sich "
         "speichern als\nBinär, Intel8, Intel32, IntelMCS,\nMotorola S2 Exormax oder Motorola S3 "
         "32Bit.";
}

TEST_F(DataFileTest, ExampleImageInEveryTextFormat) {
  // 02 00 30 FF at 0, blank lines at 4 to 0xF, 01 02 03 04 at 0x10, and
  // nothing but blank lines above, up to 128 KiB: no obstacle to the 16-bit formats.
  options.hex_line_len = 4;
  std::memcpy(image.bytes.data(), "\x02\x00\x30\xFF", 4);
  std::memcpy(image.bytes.data() + 0x10, "\x01\x02\x03\x04", 4);
  const std::string header = "S00F000056454C444F522056312E3030EF\r\n";
  const std::string intel = ":04000000020030FFCB\r\n:0400100001020304E2\r\n:00000001FF\r\n";
  EXPECT_EQ(Save(kFormatIntel8), intel);
  EXPECT_EQ(Save(kFormatIntelMcs), ":020000020000FC\r\n" + intel);
  EXPECT_EQ(Save(kFormatIntel32), ":020000040000FA\r\n:020000020000FC\r\n" + intel);
  EXPECT_EQ(Save(kFormatS1), header + "S1070000020030FFC7\r\nS107001001020304DE\r\nS9030000FC\r\n");
  EXPECT_EQ(Save(kFormatS2), header +
                                 "S204000000FB\r\nS208000000020030FFC6\r\n"
                                 "S20800001001020304DD\r\nS804000000FB\r\n");
  EXPECT_EQ(Save(kFormatS3), header +
                                 "S30500000000FA\r\nS30900000000020030FFC5\r\n"
                                 "S3090000001001020304DC\r\nS70500000000FA\r\n");
  EXPECT_EQ(Save(kFormatMos), ";040000020030FF0135\r\n;04001001020304001E\r\n");
  EXPECT_EQ(Save(kFormatTektronix), "/00000404020030FF39\r\n/001004140102030432\r\n");
  // A short last line is written even when blank.
  device.code_size = 6;
  image.bytes.fill(kBlankByte);
  EXPECT_EQ(Save(kFormatIntel8), ":02000400FFFFFC\r\n:00000001FF\r\n");
}

TEST_F(DataFileTest, IntelBanksAboveTheFirstGetAnAddressRecordOfTheVariantsKind) {
  options.hex_line_len = 4;
  image.bytes[0x00010] = 0x11;
  image.bytes[0x10010] = 0x22;
  const std::string bank0 = ":0400100011FFFFFFDE\r\n";
  const std::string bank1 = ":0400100022FFFFFFCD\r\n:00000001FF\r\n";
  EXPECT_EQ(Save(kFormatIntel32),
            ":020000040000FA\r\n:020000020000FC\r\n" + bank0 + ":020000040001F9\r\n" + bank1);
  EXPECT_EQ(Save(kFormatIntelMcs), ":020000020000FC\r\n" + bank0 + ":020000021000EC\r\n" + bank1);
  EXPECT_EQ(Save(kFormatIntel8), bank0 + ":020000021000EC\r\n" + bank1);
  image.bytes[0x00010] = kBlankByte;  // a bank without data needs no record of its own
  EXPECT_EQ(Save(kFormatIntel8), ":020000021000EC\r\n" + bank1);

  // A line across a bank boundary is split there: the line at 0xFFFC holds 0xFFFC-0x10001.
  image.bytes[0x10010] = kBlankByte;
  options.hex_line_len = 6;
  for (uint32_t a = 0xFFFC; a < 0x10002; ++a)
    image.bytes[a] = static_cast<uint8_t>(a);
  EXPECT_EQ(Save(kFormatIntel8),
            ":04FFFC00FCFDFEFF0B\r\n:020000021000EC\r\n:020000000001FD\r\n"
            ":02FFFE00FFFF03\r\n:00000001FF\r\n");  // the short last line
}

TEST_F(DataFileTest, EveryFormatReadsBackWhatItWrote) {
  // Memory sizes and line lengths: these at the limits of the count fields
  // and not dividing the memory; at 0x10002 a line runs from 0xFFFC across 0x10000.
  const std::pair<uint32_t, uint32_t> shapes[] = {{0x1000, 32}, {0x10000, 32}, {0x20000, 32},
                                                  {0x1001, 2},  {0x1001, 254}, {0x10002, 6}};
  int file_number = 0;
  for (int format = kFormatBinary; format <= kLastDataFormat; ++format) {
    for (const auto& [size, line_length] : shapes) {
      for (bool ff_save : {false, true}) {
        SCOPED_TRACE(::testing::Message()
                     << DataFormatName(format) << ", " << size << " bytes, lines of " << line_length
                     << (ff_save ? ", blanks saved" : ""));
        device.code_size = size;
        options.ff_save = ff_save;
        options.hex_line_len = line_length;
        FillTestPattern(image, size, size + line_length);
        const auto expected = image.bytes;
        if (size < kImageBufferSize)
          image.bytes[size] = 0;  // beyond the memory: never written
        files.SetDataFormat(format);
        const std::string name = std::to_string(++file_number);
        const SaveResult saved = files.WriteDataFile(dir.File(name), kCodeMemory, options);
        if (size > 0x10000 && (format == kFormatS1 || format >= kFormatMos)) {
          EXPECT_EQ(saved, SaveResult::kFailed);
          EXPECT_EQ(Messages(),
                    BeyondFormatMessage(format, "0x10000"));  // data there in the pattern
          EXPECT_FALSE(dir.Exists(name));
          continue;
        }
        ASSERT_EQ(saved, SaveResult::kOk) << Messages();
        image.bytes.fill(0x00);
        ASSERT_EQ(files.LoadDataFile(dir.File(name), kCodeMemory, options), LoadResult::kOk)
            << Messages();
        EXPECT_EQ(files.data_format(), format) << "recognised as another format";
        EXPECT_TRUE(image.bytes == expected) << "image differs after reading back";
        EXPECT_EQ(Messages(), "");
      }
    }
  }
}

}  // namespace
}  // namespace zivivar
