#include "datafiles/mos_tek_hex.h"

#include <gtest/gtest.h>

#include <string>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

class MosTekTest : public DataFileTest {
 protected:
  MosTekTest() { options.hex_line_len = 4; }

  void SetUpWorkedExample() {
    device.code_size = 0x14;
    image.bytes[0] = 0x02;
    image.bytes[1] = 0x00;
    image.bytes[2] = 0x30;
    for (uint8_t i = 0; i < 4; ++i)
      image.bytes[0x10 + i] = static_cast<uint8_t>(i + 1);
  }
};

TEST_F(MosTekTest, WorkedExamplesAreWrittenByteForByte) {
  SetUpWorkedExample();
  EXPECT_EQ(Save(kFormatMos), ";040000020030FF0135\r\n;04001001020304001E\r\n");
  EXPECT_EQ(Save(kFormatTektronix), "/00000404020030FF39\r\n/001004140102030432\r\n");
}

TEST_F(MosTekTest, BothRefuseDataAbove64KiB) {
  device.code_size = 0x20000;
  options.hex_line_len = 32;
  image.bytes[0x1FFFF] = 0;
  for (int format : {kFormatMos, kFormatTektronix}) {
    view.Clear();
    data_format = format;
    EXPECT_EQ(files.WriteDataFile(dir.File(std::to_string(format)), kCodeMemory, options),
              kSaveFailed);
    EXPECT_NE(OnlyMessage().find(std::string("Daten ab Adresse 0x1FFE0 passen nicht in das "
                                             "Format\n") +
                                 DataFormatName(format)),
              std::string::npos)
        << Messages();
    EXPECT_FALSE(dir.Exists(std::to_string(format)));
  }
}

TEST_F(MosTekTest, LineReachingPastFFFFIsRefusedToo) {
  device.code_size = 0x10004;
  options.hex_line_len = 6;  // the line at 0xFFFC holds 0xFFFC..0x10001
  image.bytes[0xFFFC] = 0;
  data_format = kFormatTektronix;
  EXPECT_EQ(files.WriteDataFile(dir.File("t.hex"), kCodeMemory, options), kSaveFailed);
  EXPECT_NE(OnlyMessage().find("0x10000"), std::string::npos) << Messages();
}

TEST_F(MosTekTest, MosEndRecordIsKnownByItsCountAlone) {
  ASSERT_EQ(Load(";040000020030FF0135\r\n;0000010001\r\n;04001001020304001E\r\n"), kLoadOk)
      << Messages();
  EXPECT_EQ(image.loaded_byte_count, 4u);
  // Whatever its first character and whatever follows the "00".
  ASSERT_EQ(Load(";040000020030FF0135\r\nX00garbage\r\nmore garbage\r\n"), kLoadOk);
  EXPECT_EQ(image.loaded_byte_count, 4u);
  // Without such a line the file is read to its end.
  ASSERT_EQ(Load(";040000020030FF0135\r\n;04001001020304001E\r\n"), kLoadOk);
  EXPECT_EQ(image.loaded_byte_count, 8u);
  // Another first character with another count is a start error.
  EXPECT_EQ(Load(";040000020030FF0135\r\nX040000020030FF0135\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Zeilenanfang in Zeile 2\nder Hex-Datei nicht gefunden !");
}

TEST_F(MosTekTest, MosChecksumIsSixteenBitsWide) {
  EXPECT_EQ(Load(";040000020030FF0136\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(),
            "Prüfsumme der HEX-Zeile 1 stimmt nicht !\n\nGelesen 0x0136\nBerechnet 0x0135\n");
  options.test_checksum = false;
  ASSERT_EQ(Load(";040000020030FF0136\r\n"), kLoadOk);
}

TEST_F(MosTekTest, MosLengthIsTestedAfterTrimming) {
  EXPECT_EQ(Load(";040000020030FF01 35\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Länge der HEX-Zeile 1 stimmt nicht !\n\nGelesen 17\nBerechnet 19\n");
}

TEST_F(MosTekTest, TektronixHeaderChecksumIsTestedBeforeAnythingIsStored) {
  EXPECT_EQ(Load("/00000405020030FF39\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(),
            "Prüfsumme der HEX-Zeile 1 stimmt nicht !\n\nGelesen 0x0005\nBerechnet 0x0004\n");
  EXPECT_EQ(image.bytes[0], kBlankByte);
  EXPECT_EQ(image.loaded_byte_count, 0u);
}

TEST_F(MosTekTest, TektronixDataChecksumIsTestedAfterStoring) {
  EXPECT_EQ(Load("/00000404020030FF3A\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(),
            "Prüfsumme der HEX-Zeile 1 stimmt nicht !\n\nGelesen 0x003A\nBerechnet 0x0039\n");
  EXPECT_EQ(image.bytes[0], 0x02);
  options.test_checksum = false;
  ASSERT_EQ(Load("/00000405020030FF3A\r\n"), kLoadOk);
}

TEST_F(MosTekTest, TektronixDigitSumsOfOtherToolsAreAccepted) {
  ASSERT_EQ(Load("/00000404020030FF23\r\n/1234030DABCDEF4B\r\n/00000000\r\n"), kLoadOk)
      << Messages();
  EXPECT_EQ(Bytes(0, 4), (std::vector<uint8_t>{0x02, 0x00, 0x30, 0xFF}));
  EXPECT_EQ(Bytes(0x1234, 3), (std::vector<uint8_t>{0xAB, 0xCD, 0xEF}));
  // A line must follow one rule throughout: byte-sum header, digit-sum data fails.
  EXPECT_EQ(Load("/00000404020030FF23\r\n/00000404020030FF39\r\n/00000404020030FF2A\r\n"),
            kLoadFailed);
  EXPECT_EQ(OnlyMessage(),
            "Prüfsumme der HEX-Zeile 3 stimmt nicht !\n\nGelesen 0x002A\nBerechnet 0x0039\n");
}

TEST_F(MosTekTest, TektronixCountZeroEndsTheReading) {
  ASSERT_EQ(Load("/00000404020030FF39\r\n/0000000000\r\nrubbish\r\n"), kLoadOk) << Messages();
  EXPECT_EQ(image.loaded_byte_count, 4u);
  EXPECT_EQ(Load("/00000404020030FF39\r\n;040000020030FF0135\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Zeilenanfang in Zeile 2\nder Hex-Datei nicht gefunden !");
}

}  // namespace
}  // namespace zivivar
