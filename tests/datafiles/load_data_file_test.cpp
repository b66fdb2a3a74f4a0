// Recognising a file's format, the limits of a load, and file errors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "data_file_fixture.h"
#include "datafiles/data_file_bytes.h"
#include "datafiles/file_errors.h"

namespace zivivar {
namespace {

TEST_F(DataFileTest, FormatIsJudgedFromTheFirstTwoLines) {
  const std::pair<std::string, int> cases[] = {
      // The second line decides when the first does not; a third is never
      // looked at. (What each writer makes is recognised in the round trips.)
      {"S00600004844521B\r\nS1070000020030FFC7\r\n", kFormatS1},
      {"\r\n;040000020030FF0135\r\n", kFormatMos},
      {"\r\n\r\n:04000000020030FFCB\r\n", kFormatBinary},
      // A leading segment record looks one line further, for a linear one.
      {":020000020000FC\r\n:020000040000FA\r\n", kFormatIntel32},
      {":020000020000FC\r\n:04000000020030FFCB\r\n", kFormatIntelMcs},
      {":020000020000FC\r\n", kFormatBinary},
      // What a blank memory is saved as is text, not a binary image of its characters.
      {":00000001FF\r\n", kFormatIntel8},
      {"S00F000056454C444F522056312E3030EF\r\nS9030000FC\r\n", kFormatS1},
      {"S804000000FB\r\n", kFormatS2},
      {"S70500000000FA\r\n", kFormatS3},
      // Control or high characters make a file binary, except in the last two
      // places of a line (CR LF is one); Ctrl-Z ends the text.
      {"", kFormatBinary},
      {":0400\t00000020030FFCB\r\n", kFormatBinary},
      {":04000000020030FFCB\x80\n", kFormatIntel8},
      {"\x1A:04000000020030FFCB\r\n", kFormatBinary},
  };
  for (const auto& [text, format] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(files.ClassifyDataFile(dir.Write("c.dat", text), /*quiet=*/false), format);
    EXPECT_EQ(files.data_format(), format);
  }
}

std::string TooMuchMessage(const char* what, int size, int count, int highest) {
  return std::string("Zuviele ") + what +
         " für diesen Controller-Typ !\n\nErlaubt: " + std::to_string(size) +
         " Bytes\nGelesen: " + std::to_string(count) +
         " Bytes\n\nHöchste erlaubte Adresse: " + std::to_string(size - 1) +
         "\nHöchste gefundene Adresse: " + std::to_string(highest) + "\n";
}

TEST_F(DataFileTest, LoadIsCheckedAgainstTheSizeOfItsMemory) {
  // The last cell of the image is stored; a byte beyond it is only counted.
  ASSERT_EQ(Load(":020000040001F9\r\n:01FFFF00AB56\r\n"), LoadResult::kOk) << Messages();
  EXPECT_EQ(image.bytes[0x1FFFF], 0xAB);
  EXPECT_EQ(Load(":020000040001F9\r\n:02FFFF00ABCD88\r\n"), LoadResult::kFailed);
  EXPECT_EQ(image.bytes[0x1FFFF], 0xAB);
  EXPECT_EQ(Messages(), TooMuchMessage("Programmdaten", 0x20000, 2, 0x20000));

  // Every record counts, a repeated one twice.
  device.code_size = 16;
  const std::string line = ":10000000000102030405060708090A0B0C0D0E0F78\r\n";
  ASSERT_EQ(Load(line), LoadResult::kOk) << Messages();
  EXPECT_EQ(Load(line + line), LoadResult::kFailed);
  EXPECT_EQ(Messages(), TooMuchMessage("Programmdaten", 16, 32, 15));

  device.eeprom_size = 4;
  ASSERT_EQ(Load(":0400000001020304F2\r\n", kEepromMemory), LoadResult::kOk) << Messages();
  EXPECT_EQ(Load(":0400010001020304F1\r\n", kEepromMemory), LoadResult::kFailed);
  EXPECT_EQ(Messages(), TooMuchMessage("EEpromdaten", 4, 4, 4));
}

TEST_F(DataFileTest, FileErrorsNameTheFileAndTheCondition) {
  const std::string missing = dir.File("firmware.eep");
  EXPECT_EQ(files.ClassifyDataFile(missing, /*quiet=*/true), kFormatUnknown);
  EXPECT_EQ(Messages(), "");
  // A missing EEPROM companion is reported like any other file.
  EXPECT_EQ(files.LoadDataFile(missing, kEepromMemory, options), LoadResult::kFailed);
  EXPECT_EQ(Messages(), "Fehler beim Öffnen der Datei\n\n" + missing +
                            "\n\nDatei oder Verzeichnis existiert nicht");
  EXPECT_EQ(Load(""), LoadResult::kFailed);  // an empty file has no condition of its own
  EXPECT_EQ(Messages(), "Fehler beim Öffnen der Datei\n\n" + dir.File("in.dat") + "\n\n ");

  // Linux conditions go to the entry naming them, else the nearest, else "unknown".
  ReportFileError(services, "p", EDQUOT);
  EXPECT_EQ(Messages(), "Fehler beim Öffnen der Datei\n\np\n\nKein Platz mehr auf dem Gerät");
  ReportFileError(services, "p", ECONNRESET);
  EXPECT_THAT(Messages(), ::testing::EndsWith("Unbekannter Fehler"));
}

TEST_F(DataFileTest, PipesAndDevicesAreReadOnceAndNeverWaitedOnForever) {
  // (That a pipe's data is read once, for the format and the load, the
  // command line's pipe runs show.) A pipe without a writer times out.
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string big = dir.Write("big.bin", "");
  ASSERT_EQ(::truncate(big.c_str(), kMaxDataFileSize + 1), 0);
  const std::string too_big = "\n\nDatei zu groß: mehr als 16 MiB sind keine Brenndatei";
  const struct {
    std::string path;
    int idle_ms;
    int error;
    std::string message;
  } cases[] = {
      {fifo, 100, ETIMEDOUT, "\n\nKeine Daten in 15 Sekunden (Pipe ohne Schreiber ?)"},
      {"/dev/zero", 100, EFBIG, too_big},
      {big, 100, EFBIG, too_big},
      {dir.path(), 100, EISDIR, "\n\nZugriff verweigert"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    std::string bytes = "old";
    EXPECT_EQ(ReadDataFileBytes(c.path, &bytes, c.idle_ms), c.error);
    EXPECT_EQ(bytes, "");
    ReportDataFileReadError(services, c.path, c.error);
    EXPECT_EQ(Messages(), "Fehler beim Öffnen der Datei\n\n" + c.path + c.message);
  }
  // The whole load refuses a device that never ends, after its message.
  EXPECT_EQ(files.LoadDataFile("/dev/zero", kCodeMemory, options), LoadResult::kFailed);
  EXPECT_EQ(Messages(), "Fehler beim Öffnen der Datei\n\n/dev/zero" + too_big);
}

}  // namespace
}  // namespace zivivar
