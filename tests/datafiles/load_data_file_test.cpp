#include <gtest/gtest.h>

#include <string>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

class LoadTest : public DataFileTest {};

std::string BinaryOf(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>(i * 7 + 1);
  return bytes;
}

TEST_F(LoadTest, BinaryAsLongAsTheMemoryLoadsWholly) {
  device.code_size = 4096;
  ASSERT_EQ(Load(BinaryOf(4096), "a.bin"), kLoadOk) << Messages();
  EXPECT_EQ(data_format, kFormatBinary);
  EXPECT_EQ(image.loaded_byte_count, 4096u);
  EXPECT_EQ(image.highest_loaded_address, 4095u);
  EXPECT_EQ(image.bytes[4095], static_cast<uint8_t>(4095 * 7 + 1));
  EXPECT_EQ(image.bytes[4096], kBlankByte);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(LoadTest, BinaryOneByteLongerIsRefusedBeforeReading) {
  device.code_size = 4096;
  image.bytes[0] = 0x12;
  EXPECT_EQ(Load(BinaryOf(4097), "a.bin"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(),
            "Zuviele Daten für diesen Baustein !\n\nMaximale Anzahl Bytes: 4096\nAnzahl Bytes in "
            "Brenndatei: 4097\n");
  EXPECT_EQ(image.bytes[0], kBlankByte);  // cleared, nothing read
}

TEST_F(LoadTest, EmptyFileIsAFileError) {
  const std::string path = dir.Write("empty.bin", "");
  EXPECT_EQ(files.LoadDataFile(path, kCodeMemory, options), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Fehler beim Öffnen der Datei\n\n" + path + "\n\n ");
}

TEST_F(LoadTest, DirectoryIsRefusedWithAFileError) {
  EXPECT_EQ(files.LoadDataFile(dir.path(), kCodeMemory, options), kLoadFailed);
  EXPECT_NE(OnlyMessage().find("Fehler beim Öffnen der Datei"), std::string::npos) << Messages();
}

TEST_F(LoadTest, HighestCellOfTheImageIsStoredAndTheNextOnlyCounted) {
  // Offset 0x10000 plus 0xFFFF: the last cell of the image.
  ASSERT_EQ(Load(":020000040001F9\r\n:01FFFF00AB56\r\n"), kLoadOk) << Messages();
  EXPECT_EQ(image.bytes[0x1FFFF], 0xAB);
  EXPECT_EQ(image.highest_loaded_address, 0x1FFFFu);

  // One more byte runs past the image: counted, not stored, and refused.
  EXPECT_EQ(Load(":020000040001F9\r\n:02FFFF00ABCD88\r\n"), kLoadFailed);
  EXPECT_EQ(image.bytes[0x1FFFF], 0xAB);
  EXPECT_EQ(image.loaded_byte_count, 2u);
  EXPECT_EQ(image.highest_loaded_address, 0x20000u);
  EXPECT_EQ(OnlyMessage(),
            "Zuviele Programmdaten für diesen Controller-Typ !\n\nErlaubt: 131072 Bytes\nGelesen: "
            "2 Bytes\n\nHöchste erlaubte Adresse: 131071\nHöchste gefundene Adresse: 131072\n");
}

TEST_F(LoadTest, RepeatedDataCountsEveryTime) {
  device.code_size = 16;
  const std::string line = ":10000000000102030405060708090A0B0C0D0E0F78\r\n";
  ASSERT_EQ(Load(line), kLoadOk) << Messages();
  EXPECT_EQ(Load(line + line), kLoadFailed);
  EXPECT_EQ(image.loaded_byte_count, 32u);
  EXPECT_EQ(image.highest_loaded_address, 15u);
  EXPECT_NE(OnlyMessage().find("Gelesen: 32 Bytes"), std::string::npos) << Messages();
}

TEST_F(LoadTest, EepromIsCheckedAgainstItsOwnSize) {
  device.eeprom_size = 4;
  ASSERT_EQ(LoadEeprom(":0400000001020304F2\r\n"), kLoadOk) << Messages();
  EXPECT_EQ(LoadEeprom(":0400010001020304F1\r\n"), kLoadFailed);
  EXPECT_EQ(OnlyMessage(),
            "Zuviele EEpromdaten für diesen Controller-Typ !\n\nErlaubt: 4 Bytes\nGelesen: 4 "
            "Bytes\n\nHöchste erlaubte Adresse: 3\nHöchste gefundene Adresse: 4\n");
}

TEST_F(LoadTest, MissingEepromFileIsReportedNamingIt) {
  const std::string path = dir.File("firmware.eep");
  EXPECT_EQ(files.LoadDataFile(path, kEepromMemory, options), kLoadFailed);
  EXPECT_EQ(OnlyMessage(), "Fehler beim Öffnen der Datei\n\n" + path +
                               "\n\nDatei oder Verzeichnis existiert nicht");
}

TEST_F(LoadTest, EachLoadStartsFromABlankImage) {
  ASSERT_EQ(Load(":04000000020030FFCB\r\n"), kLoadOk);
  ASSERT_EQ(Load(":0400100001020304E2\r\n"), kLoadOk);
  EXPECT_EQ(image.bytes[0], kBlankByte);
  EXPECT_EQ(Bytes(0x10, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(image.loaded_byte_count, 4u);
}

}  // namespace
}  // namespace zivivar
