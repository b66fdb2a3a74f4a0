// The text every writer makes of an image, byte for byte, and what it does
// with memories larger than its addresses reach.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

class WritersTest : public DataFileTest {
 protected:
  WritersTest() { options.hex_line_len = 4; }

  // 02 00 30 FF at 0, blank lines at 4 to 0xF, 01 02 03 04 at 0x10; 20 bytes.
  void SetUpExample() {
    device.code_size = 0x14;
    const uint8_t bytes[] = {0x02, 0x00, 0x30, 0xFF};
    std::copy(std::begin(bytes), std::end(bytes), image.bytes.begin());
    for (uint8_t i = 0; i < 4; ++i)
      image.bytes[0x10 + i] = static_cast<uint8_t>(i + 1);
  }
  int SaveFails(int format) {
    data_format = format;
    return files.WriteDataFile(dir.File("refused"), kCodeMemory, options);
  }
};

constexpr char kHeader[] = "S00F000056454C444F522056312E3030EF\r\n";

TEST_F(WritersTest, ExampleImageInEveryTextFormat) {
  SetUpExample();
  const std::string intel_data = ":04000000020030FFCB\r\n:0400100001020304E2\r\n:00000001FF\r\n";
  EXPECT_EQ(Save(kFormatIntel8), intel_data);
  EXPECT_EQ(Save(kFormatIntelMcs), ":020000020000FC\r\n" + intel_data);
  EXPECT_EQ(Save(kFormatIntel32), ":020000040000FA\r\n:020000020000FC\r\n" + intel_data);
  EXPECT_EQ(Save(kFormatS1), kHeader + std::string("S1070000020030FFC7\r\nS107001001020304DE\r\n"
                                                   "S9030000FC\r\n"));
  EXPECT_EQ(Save(kFormatS2), kHeader + std::string("S204000000FB\r\nS208000000020030FFC6\r\n"
                                                   "S20800001001020304DD\r\nS804000000FB\r\n"));
  EXPECT_EQ(Save(kFormatS3), kHeader + std::string("S30500000000FA\r\nS30900000000020030FFC5\r\n"
                                                   "S3090000001001020304DC\r\nS70500000000FA\r\n"));
  EXPECT_EQ(Save(kFormatMos), ";040000020030FF0135\r\n;04001001020304001E\r\n");
  EXPECT_EQ(Save(kFormatTektronix), "/00000404020030FF39\r\n/001004140102030432\r\n");
  // Blank lines are written when blank cells are saved.
  options.ff_save = true;
  EXPECT_EQ(Save(kFormatIntel8),
            ":04000000020030FFCB\r\n:04000400FFFFFFFFFC\r\n"
            ":04000800FFFFFFFFF8\r\n:04000C00FFFFFFFFF4\r\n"
            ":0400100001020304E2\r\n:00000001FF\r\n");
}

TEST_F(WritersTest, ShortLastLineIsWrittenEvenWhenBlank) {
  device.code_size = 6;
  EXPECT_EQ(Save(kFormatIntel8), ":02000400FFFFFC\r\n:00000001FF\r\n");
}

TEST_F(WritersTest, LinesOfHexLineLenAndBlankLinesLeftOut) {
  device.code_size = 4096;
  options.hex_line_len = 32;
  EXPECT_EQ(Save(kFormatIntel32), ":020000040000FA\r\n:020000020000FC\r\n:00000001FF\r\n");
  for (uint32_t a = 0; a < 40; ++a)
    image.bytes[a] = static_cast<uint8_t>(a);
  EXPECT_EQ(Save(kFormatIntel8),
            ":20000000000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1FF0\r\n"
            ":200020002021222324252627FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFBC\r\n"
            ":00000001FF\r\n");
  options.ff_save = true;
  const std::string all = Save(kFormatIntelMcs);
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 1 + 128 + 1);
}

TEST_F(WritersTest, IntelBanksAboveTheFirstGetAnAddressRecordOfTheVariantsKind) {
  device.code_size = 0x20000;
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
}

TEST_F(WritersTest, IntelLineAcrossABankBoundaryIsSplitThere) {
  device.code_size = 0x20000;
  options.hex_line_len = 6;  // the line at 0xFFFC holds 0xFFFC..0x10001
  for (uint32_t a = 0xFFFC; a < 0x10002; ++a)
    image.bytes[a] = static_cast<uint8_t>(a);
  EXPECT_EQ(Save(kFormatIntel8),
            ":04FFFC00FCFDFEFF0B\r\n:020000021000EC\r\n:020000000001FD\r\n"
            ":02FFFE00FFFF03\r\n:00000001FF\r\n");  // short last line
}

TEST_F(WritersTest, SRecordLinesHoldWhatTheirCountFieldAllows) {
  device.code_size = 0x200;
  options.hex_line_len = 254;
  for (uint32_t a = 0; a < 0x200; ++a)
    image.bytes[a] = static_cast<uint8_t>(a);
  for (int w = 2; w <= 4; ++w) {
    const int format = kFormatS1 + w - 2;
    std::istringstream text(Save(format));
    std::vector<uint32_t> starts;  // address of every data line with data
    for (std::string line; std::getline(text, line);) {
      if (line[1] == '0' + w - 1 && line.size() > 4u + 2 * w + 4) {
        EXPECT_LE(line.substr(2, 2), "FF");
        starts.push_back(static_cast<uint32_t>(std::stoul(line.substr(4, 2 * w), nullptr, 16)));
      }
    }
    // 252, 251 and 250 bytes per line: the count covers address and checksum too.
    const uint32_t per_line = 255u - static_cast<uint32_t>(w) - 1;
    EXPECT_EQ(starts, (std::vector<uint32_t>{0, per_line, 2 * per_line})) << format;
  }
}

TEST_F(WritersTest, SixteenBitFormatsRefuseDataAbove64KiBAndWriteNothing) {
  device.code_size = 0x20000;
  options.hex_line_len = 32;
  image.bytes[0x1FFFF] = 0;
  for (int format : {kFormatS1, kFormatMos, kFormatTektronix}) {
    view.Clear();
    EXPECT_EQ(SaveFails(format), kSaveFailed);
    EXPECT_EQ(OnlyMessage(), std::string("Daten ab Adresse 0x1FFE0 passen nicht in das Format\n") +
                                 DataFormatName(format) +
                                 " (nur Adressen bis 0xFFFF) !\n\nSpeichervorgang abgebrochen.\n\n"
                                 "Diese Daten lassen sich speichern als\nBinär, Intel8, Intel32, "
                                 "IntelMCS,\nMotorola S2 Exormax oder Motorola S3 32Bit.");
    EXPECT_FALSE(dir.Exists("refused"));
  }
  // Nor may a line start below 0x10000 and reach beyond it.
  image.bytes[0x1FFFF] = kBlankByte;
  options.hex_line_len = 6;
  image.bytes[0xFFFC] = 0;
  view.Clear();
  EXPECT_EQ(SaveFails(kFormatTektronix), kSaveFailed);
  EXPECT_NE(OnlyMessage().find("ab Adresse 0x10000"), std::string::npos) << Messages();
  // Blank lines above 64 KiB are left out and do not stand in the way.
  options.hex_line_len = 4;
  EXPECT_NE(Save(kFormatS1).find("S107FFFC00FFFFFF"), std::string::npos);
}

}  // namespace
}  // namespace zivivar
