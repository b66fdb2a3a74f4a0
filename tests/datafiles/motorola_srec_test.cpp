#include "datafiles/motorola_srec.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

class SRecordTest : public DataFileTest {
 protected:
  SRecordTest() { options.hex_line_len = 4; }

  void SetUpWorkedExample() {
    device.code_size = 0x14;
    image.bytes[0] = 0x02;
    image.bytes[1] = 0x00;
    image.bytes[2] = 0x30;
    for (uint8_t i = 0; i < 4; ++i)
      image.bytes[0x10 + i] = static_cast<uint8_t>(i + 1);
  }
};

constexpr char kHeader[] = "S00F000056454C444F522056312E3030EF\r\n";

TEST_F(SRecordTest, WorkedExampleIsWrittenByteForByte) {
  SetUpWorkedExample();
  EXPECT_EQ(Save(kFormatS1),
            std::string(kHeader) + "S1070000020030FFC7\r\nS107001001020304DE\r\nS9030000FC\r\n");
  EXPECT_EQ(Save(kFormatS2), std::string(kHeader) +
                                 "S204000000FB\r\nS208000000020030FFC6\r\n"
                                 "S20800001001020304DD\r\nS804000000FB\r\n");
  EXPECT_EQ(Save(kFormatS3), std::string(kHeader) +
                                 "S30500000000FA\r\nS30900000000020030FFC5\r\n"
                                 "S3090000001001020304DC\r\nS70500000000FA\r\n");
}

TEST_F(SRecordTest, CountFieldLimitsTheLineLength) {
  device.code_size = 0x200;
  for (uint32_t a = 0; a < 0x200; ++a)
    image.bytes[a] = static_cast<uint8_t>(a);
  options.hex_line_len = 254;
  for (int format : {kFormatS1, kFormatS2, kFormatS3}) {
    const std::string type = "S" + std::to_string(format - kFormatS1 + 1);
    const size_t address_digits = static_cast<size_t>(2 * (2 + format - kFormatS1));
    std::vector<std::string> data_lines;  // with data: count field above the empty record's
    std::istringstream text(Save(format));
    for (std::string line; std::getline(text, line);) {
      if (line.compare(0, 2, type) == 0 && line.size() > 6 + address_digits + 4) {
        data_lines.push_back(line);
      }
    }
    ASSERT_GE(data_lines.size(), 2u) << type;
    EXPECT_EQ(data_lines[0].substr(2, 2), "FF") << type;
    // The second line starts where the first, full one ended: 252, 251 or 250 bytes on.
    EXPECT_EQ(std::stoul(data_lines[1].substr(4, address_digits), nullptr, 16),
              252u - static_cast<uint32_t>(format - kFormatS1))
        << type;
    ASSERT_EQ(files.LoadDataFile(dir.File("out.dat"), kCodeMemory, options), kLoadOk) << Messages();
    for (uint32_t a = 0; a < 0x200; ++a)
      ASSERT_EQ(image.bytes[a], static_cast<uint8_t>(a)) << a;
  }
}

TEST_F(SRecordTest, S1RefusesDataAbove64KiBBeforeWritingAnything) {
  device.code_size = 0x20000;
  image.bytes[0x10000] = 0x55;
  const std::string old = "precious";
  dir.Write("out.dat", old);
  data_format = kFormatS1;
  EXPECT_EQ(files.WriteDataFile(dir.File("out.dat"), kCodeMemory, options), kSaveFailed);
  EXPECT_EQ(OnlyMessage(),
            "Daten ab Adresse 0x10000 passen nicht in das Format\nMotorola S1 Exorciser (nur "
            "Adressen bis 0xFFFF) !\n\nSpeichervorgang abgebrochen.\n\nDiese Daten lassen sich "
            "speichern als\nBinär, Intel8, Intel32, IntelMCS,\nMotorola S2 Exormax oder Motorola "
            "S3 32Bit.");
  EXPECT_EQ(dir.Read("out.dat"), old);
  // Blank banks above 64 KiB are left out and do not stand in the way.
  image.bytes[0x10000] = kBlankByte;
  image.bytes[0xFFFF] = 0x55;
  view.Clear();
  EXPECT_EQ(files.WriteDataFile(dir.File("out.dat"), kCodeMemory, options), kSaveOk);
  EXPECT_NE(dir.Read("out.dat").find("S107FFFCFFFFFF5"), std::string::npos);
}

TEST_F(SRecordTest, RecordsOfAllWidthsMayBeMixed) {
  ASSERT_EQ(Load("S0030000FC\r\nS1070000020030FFC7\r\nS20501FFFFAB50\r\nS3060001FFFEAB50\r\n"
                 "S9030000FC\r\n"),
            kLoadOk)
      << Messages();
  EXPECT_EQ(Bytes(0, 4), (std::vector<uint8_t>{0x02, 0x00, 0x30, 0xFF}));
  EXPECT_EQ(image.bytes[0x1FFFF], 0xAB);
  EXPECT_EQ(image.bytes[0x1FFFE], 0xAB);
  EXPECT_EQ(image.loaded_byte_count, 6u);
  EXPECT_EQ(image.highest_loaded_address, 0x1FFFFu);
}

TEST_F(SRecordTest, EndRecordStopsReadingWhateverFollows) {
  ASSERT_EQ(Load("S1070000020030FFC7\r\nS9030000FC\r\n"), kLoadOk);
  EXPECT_EQ(image.loaded_byte_count, 4u);
  EXPECT_EQ(image.highest_loaded_address, 3u);
  for (const char* end : {"S9", "S8", "S7"}) {
    ASSERT_EQ(Load("S1070000020030FFC7\r\n" + std::string(end) + "\r\nnot a record\r\n"), kLoadOk)
        << end << Messages();
  }
  ASSERT_EQ(Load("S1070000020030FFC7\r\nS107001001020304DE\r\n"), kLoadOk);
  EXPECT_EQ(image.loaded_byte_count, 8u);
}

TEST_F(SRecordTest, EmptyDataRecordsChangeNothing) {
  ASSERT_EQ(Load("S1030000FC\r\nS204000000FB\r\nS30500000000FA\r\n"), kLoadOk) << Messages();
  EXPECT_EQ(image.loaded_byte_count, 0u);
  // Their checksum is not looked at.
  ASSERT_EQ(Load("S1030000FC\r\nS1030000AA\r\n"), kLoadOk) << Messages();
}

TEST_F(SRecordTest, RecordCountsAreSkippedButTested) {
  ASSERT_EQ(Load("S1070000020030FFC7\r\nS5030001FB\r\nS604000001FA\r\nS9030000FC\r\n"), kLoadOk)
      << Messages();
  EXPECT_EQ(image.loaded_byte_count, 4u);
  EXPECT_EQ(Load("S1070000020030FFC7\r\nS5030001FC\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(),
            "Prüfsumme der HEX-Zeile 2 stimmt nicht !\n\nGelesen 0x00FC\nBerechnet 0x00FB\n");
  view.Clear();
  EXPECT_EQ(Load("S1070000020030FFC7\r\nS50400001FB\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 11\nBerechnet 12\n");
}

TEST_F(SRecordTest, UnknownRecordsAndEmptyLinesFailAtTheirLine) {
  EXPECT_EQ(Load("S1070000020030FFC7\r\nS4030000FC\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Zeilenanfang in Zeile 2\nder Hex-Datei nicht gefunden !");
  view.Clear();
  EXPECT_EQ(Load("S1070000020030FFC7\r\n\r\nS9030000FC\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Zeilenanfang in Zeile 2\nder Hex-Datei nicht gefunden !");
  view.Clear();
  // Only the upper-case S starts a record.
  EXPECT_EQ(Load("S1070000020030FFC7\r\ns1070000020030FFC7\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Zeilenanfang in Zeile 2\nder Hex-Datei nicht gefunden !");
}

TEST_F(SRecordTest, ChecksumIsTestedOnlyWhenSwitchedOn) {
  EXPECT_EQ(Load("S1070000020030FFC8\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(),
            "Prüfsumme der HEX-Zeile 1 stimmt nicht !\n\nGelesen 0x00C8\nBerechnet 0x00C7\n");
  options.test_checksum = false;
  ASSERT_EQ(Load("S1070000020030FFC8\r\n"), kLoadOk);
  EXPECT_EQ(image.loaded_byte_count, 4u);
}

TEST_F(SRecordTest, RecordTooShortForItsAddressIsRefused) {
  // Count 2 passes the length test ("S102" plus two characters and a
  // checksum) but cannot hold a 16-bit address and a checksum.
  EXPECT_EQ(Load("S1070000020030FFC7\r\nS10200FD\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 8\nBerechnet 10\n");
  view.Clear();
  EXPECT_EQ(Load("S1070000020030FFC7\r\nS300\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 4\nBerechnet 14\n");
}

TEST_F(SRecordTest, LowerCaseDigitsAndBlanksInside) {
  ASSERT_EQ(Load("S1070000020030ffc7\r\n"), kLoadOk) << Messages();
  EXPECT_EQ(Load("S1070000 020030FFC7\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Länge der HEX-Zeile 1 stimmt nicht !\n\nGelesen 8\nBerechnet 18\n");
}

}  // namespace
}  // namespace zivivar
