#include "datafiles/intel_hex.h"

#include <gtest/gtest.h>

#include <string>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

class IntelHexTest : public DataFileTest {
 protected:
  IntelHexTest() { options.hex_line_len = 4; }

  // 02 00 30 FF at 0, a blank line at 4, 01 02 03 04 at 0x10, in 20 bytes.
  void SetUpWorkedExample() {
    device.code_size = 0x14;
    image.bytes[0] = 0x02;
    image.bytes[1] = 0x00;
    image.bytes[2] = 0x30;
    for (uint8_t i = 0; i < 4; ++i)
      image.bytes[0x10 + i] = static_cast<uint8_t>(i + 1);
  }
};

TEST_F(IntelHexTest, WorkedExampleIsWrittenByteForByte) {
  SetUpWorkedExample();
  EXPECT_EQ(Save(kFormatIntel8), ":04000000020030FFCB\r\n:0400100001020304E2\r\n:00000001FF\r\n");
  EXPECT_EQ(Save(kFormatIntelMcs),
            ":020000020000FC\r\n:04000000020030FFCB\r\n:0400100001020304E2\r\n:00000001FF\r\n");
  EXPECT_EQ(Save(kFormatIntel32),
            ":020000040000FA\r\n:020000020000FC\r\n:04000000020030FFCB\r\n:0400100001020304E2\r\n"
            ":00000001FF\r\n");
}

TEST_F(IntelHexTest, BlankLinesAreWrittenWhenBlankCellsAreSaved) {
  SetUpWorkedExample();
  options.ff_save = true;
  EXPECT_EQ(Save(kFormatIntel8),
            ":04000000020030FFCB\r\n:04000400FFFFFFFFFC\r\n:04000800FFFFFFFFF8\r\n"
            ":04000C00FFFFFFFFF4\r\n:0400100001020304E2\r\n:00000001FF\r\n");
}

TEST_F(IntelHexTest, ShortLastLineIsAlwaysWritten) {
  device.code_size = 6;  // lines of 4 and 2 bytes, all blank
  EXPECT_EQ(Save(kFormatIntel8), ":02000400FFFFFC\r\n:00000001FF\r\n");
}

TEST_F(IntelHexTest, LineCountFollowsTheBlankCellSetting) {
  device.code_size = 4096;
  options.hex_line_len = 32;
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

TEST_F(IntelHexTest, BlankMemoryGivesOnlyTheFixedRecords) {
  device.code_size = 4096;
  options.hex_line_len = 32;
  EXPECT_EQ(Save(kFormatIntel32), ":020000040000FA\r\n:020000020000FC\r\n:00000001FF\r\n");
  EXPECT_EQ(Save(kFormatIntel8), ":00000001FF\r\n");
}

TEST_F(IntelHexTest, SecondBankGetsAnAddressRecordOfTheVariantsKind) {
  device.code_size = 0x20000;
  image.bytes[0x00010] = 0x11;
  image.bytes[0x10010] = 0x22;
  EXPECT_EQ(Save(kFormatIntel32),
            ":020000040000FA\r\n:020000020000FC\r\n:0400100011FFFFFFDE\r\n"
            ":020000040001F9\r\n:0400100022FFFFFFCD\r\n:00000001FF\r\n");
  EXPECT_EQ(Save(kFormatIntelMcs),
            ":020000020000FC\r\n:0400100011FFFFFFDE\r\n"
            ":020000021000EC\r\n:0400100022FFFFFFCD\r\n:00000001FF\r\n");
  EXPECT_EQ(Save(kFormatIntel8),
            ":0400100011FFFFFFDE\r\n:020000021000EC\r\n:0400100022FFFFFFCD\r\n:00000001FF\r\n");
  // A bank without data needs no record.
  image.bytes[0x00010] = kBlankByte;
  EXPECT_EQ(Save(kFormatIntel8), ":020000021000EC\r\n:0400100022FFFFFFCD\r\n:00000001FF\r\n");
}

TEST_F(IntelHexTest, LineAcrossABankBoundaryIsSplitThere) {
  device.code_size = 0x20000;
  options.hex_line_len = 6;  // 0xFFFC is a line start: 0xFFFC..0x10001
  for (uint32_t a = 0xFFFC; a < 0x10002; ++a)
    image.bytes[a] = static_cast<uint8_t>(a);
  EXPECT_EQ(Save(kFormatIntel8),
            ":04FFFC00FCFDFEFF0B\r\n:020000021000EC\r\n:020000000001FD\r\n"
            ":02FFFE00FFFF03\r\n:00000001FF\r\n");  // the short last line at 0x1FFFE
  ImageBuffer written = image;
  ASSERT_EQ(files.LoadDataFile(dir.File("out.dat"), kCodeMemory, options), kLoadOk);
  EXPECT_EQ(image.bytes, written.bytes);
}

TEST_F(IntelHexTest, AddressRecordsReplaceTheOffset) {
  ASSERT_EQ(Load(":020000021000EC\r\n:0100000041BE\r\n"
                 ":020000040001F9\r\n:0100010042BC\r\n"
                 ":020000020000FC\r\n:0100020043BA\r\n"),
            kLoadOk)
      << Messages();
  EXPECT_EQ(image.bytes[0x10000], 0x41);
  EXPECT_EQ(image.bytes[0x10001], 0x42);
  EXPECT_EQ(image.bytes[0x00002], 0x43);
  EXPECT_EQ(image.loaded_byte_count, 3u);
}

TEST_F(IntelHexTest, RecordRunningPastFFFFContinuesAbove) {
  ASSERT_EQ(Load(":04FFFE0001020304F5\r\n"), kLoadOk) << Messages();
  EXPECT_EQ(Bytes(0xFFFE, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(image.highest_loaded_address, 0x10001u);
}

TEST_F(IntelHexTest, OtherRecordTypesAreTestedAndIgnored) {
  // An empty data record first, so that the file is recognised as Intel HEX.
  ASSERT_EQ(Load(":0000000000\r\n:0400000300000100F8\r\n"), kLoadOk) << Messages();
  EXPECT_EQ(image.loaded_byte_count, 0u);
  EXPECT_EQ(Load(":0000000000\r\n:0400000300000100F9\r\n"), kLoadFailed);
  EXPECT_NE(OnlyMessage().find("Prüfsumme"), std::string::npos);
}

TEST_F(IntelHexTest, EndRecordStopsReadingWhateverFollows) {
  ASSERT_EQ(Load(":04000000020030FFCB\r\n:00000001FF\r\ngarbage\r\n:0400100001020304E2\r\n"),
            kLoadOk)
      << Messages();
  EXPECT_EQ(image.loaded_byte_count, 4u);
  // The end record itself is not tested.
  ASSERT_EQ(Load(":04000000020030FFCB\r\n:zz000001\r\n"), kLoadOk) << Messages();
  // Nor is it needed.
  ASSERT_EQ(Load(":04000000020030FFCB\r\n:0400100001020304E2\r\n"), kLoadOk);
  EXPECT_EQ(image.loaded_byte_count, 8u);
}

TEST_F(IntelHexTest, ChecksumIsTestedOnlyWhenSwitchedOn) {
  EXPECT_EQ(Load(":04000000020030FFCC\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(),
            "Prüfsumme der HEX-Zeile 1 stimmt nicht !\n\nGelesen 0x00CC\nBerechnet 0x00CB\n");
  view.Clear();
  options.test_checksum = false;
  ASSERT_EQ(Load(":04000000020030FFCC\r\n"), kLoadOk);
  EXPECT_EQ(Bytes(0, 4), (std::vector<uint8_t>{0x02, 0x00, 0x30, 0xFF}));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(IntelHexTest, LengthMustMatchTheCount) {
  EXPECT_EQ(Load(":04000000020030FFCB\r\n:04000000020030FF01CB\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 21\nBerechnet 19\n");
}

TEST_F(IntelHexTest, LowerCaseDigitsReadLikeUpperCase) {
  ASSERT_EQ(Load(":04000000020030ffcb\r\n:02000000abcd86\r\n"), kLoadOk) << Messages();
  EXPECT_EQ(Bytes(0, 4), (std::vector<uint8_t>{0xAB, 0xCD, 0x30, 0xFF}));
}

TEST_F(IntelHexTest, BlankInsideALineCutsIt) {
  EXPECT_EQ(Load(":04000000 020030FFCB\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Länge der HEX-Zeile 1 stimmt nicht !\n\nGelesen 9\nBerechnet 19\n");
}

TEST_F(IntelHexTest, LineWithoutColonFailsWithItsNumber) {
  EXPECT_EQ(Load(":04000000020030FFCB\r\n\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Zeilenanfang in Zeile 2\nder Hex-Datei nicht gefunden !");
  // Data from before the faulty line stays in the image.
  EXPECT_EQ(image.bytes[0], 0x02);
}

TEST_F(IntelHexTest, LinesLongerThanOneReadAreTakenAsSeveral) {
  // A data line of 255 bytes is 521 characters; one of 1100 exceeds a read.
  const std::string too_long = ":" + std::string(1100, '0') + "\r\n";
  EXPECT_EQ(Load(":04000000020030FFCB\r\n" + too_long), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 1023\nBerechnet 11\n");
}

}  // namespace
}  // namespace zivivar
