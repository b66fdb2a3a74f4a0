#include "datafiles/text_records.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "datafiles/file_errors.h"

namespace zivivar {
namespace {

TEST(HexFieldTest, ReadsBothCasesAndStopsAtTheFirstOtherCharacter) {
  EXPECT_EQ(ParseHexField("x1aF9", 1, 4), 0x1AF9u);
  EXPECT_EQ(ParseHexField("x1AF9", 1, 4), 0x1AF9u);
  EXPECT_EQ(ParseHexField("12G4", 0, 4), 0x12u);
  EXPECT_EQ(ParseHexField("G123", 0, 4), 0u);
  EXPECT_EQ(ParseHexField("12 34", 0, 4), 0x12u);
  EXPECT_EQ(ParseHexField("DEADBEEF77", 0, 8), 0xDEADBEEFu);
  EXPECT_EQ(ParseHexByte("S1FF", 2), 0xFF);
  EXPECT_EQ(ParseHexByte("S1f", 2), 0x0F);
}

TEST(HexFieldTest, FieldsBeyondTheLineGiveZeroWithoutReadingPastIt) {
  const std::string_view line("ABCDEF", 3);  // only "ABC" belongs to the line
  EXPECT_EQ(ParseHexField(line, 2, 4), 0xCu);
  EXPECT_EQ(ParseHexField(line, 3, 4), 0u);
  EXPECT_EQ(ParseHexByte(line, 100), 0);
}

TEST(TrimLineTest, CutsAtTheFirstCarriageReturnLineFeedOrBlank) {
  EXPECT_EQ(TrimLine(":00000001FF\n"), ":00000001FF");
  EXPECT_EQ(TrimLine("abc\rdef\n"), "abc");
  EXPECT_EQ(TrimLine(":0400 00\n"), ":0400");
  EXPECT_EQ(TrimLine("no-end"), "no-end");
  EXPECT_EQ(TrimLine("\n"), "");
  EXPECT_EQ(TrimLine("a\tb\n"), "a\tb");  // only CR, LF and blank cut
}

TEST(FileErrorTest, TableHasTheSystemsOwnNumbering) {
  EXPECT_STREQ(FileErrorTexts[0], " ");
  EXPECT_STREQ(FileErrorTexts[2], "Datei oder Verzeichnis existiert nicht");
  EXPECT_STREQ(FileErrorTexts[14], "Unbekannter Fehler");
  EXPECT_STREQ(FileErrorTexts[28], "Kein Platz mehr auf dem Gerät");
  EXPECT_STREQ(FileErrorTexts[44], "Resource ist beschäftigt");
  EXPECT_STREQ(FileErrorTexts[48], " ");
  int unix_only = 0;
  for (const char* text : FileErrorTexts)
    unix_only += std::string(text) == "Unix only";
  EXPECT_EQ(unix_only, 9);
}

TEST(FileErrorTest, LinuxConditionsMapToTheEntryNamingThem) {
  EXPECT_EQ(FileErrorIndex(0), 0);
  EXPECT_EQ(FileErrorIndex(ENOENT), 2);
  EXPECT_EQ(FileErrorIndex(ENOTDIR), 3);
  EXPECT_EQ(FileErrorIndex(EMFILE), 4);
  EXPECT_EQ(FileErrorIndex(EACCES), 5);
  EXPECT_EQ(FileErrorIndex(EBADF), 6);
  EXPECT_EQ(FileErrorIndex(ENOMEM), 8);
  EXPECT_EQ(FileErrorIndex(EINVAL), 19);
  EXPECT_EQ(FileErrorIndex(EXDEV), 22);
  EXPECT_EQ(FileErrorIndex(ENFILE), 23);
  EXPECT_EQ(FileErrorIndex(ENOSPC), 28);
  EXPECT_EQ(FileErrorIndex(EROFS), 30);
  EXPECT_EQ(FileErrorIndex(EEXIST), 35);
  EXPECT_EQ(FileErrorIndex(EPERM), 37);
  EXPECT_EQ(FileErrorIndex(EIO), 40);
  EXPECT_EQ(FileErrorIndex(EAGAIN), 42);
  EXPECT_EQ(FileErrorIndex(EBUSY), 44);
  // Without an entry of their own: the nearest one, else "Unbekannter Fehler".
  EXPECT_EQ(FileErrorIndex(EISDIR), 5);
  EXPECT_EQ(FileErrorIndex(EDQUOT), 28);
  EXPECT_EQ(FileErrorIndex(EFBIG), 28);
  EXPECT_EQ(FileErrorIndex(ENAMETOOLONG), 3);
  EXPECT_EQ(FileErrorIndex(ECONNRESET), kUnknownFileError);
  EXPECT_EQ(FileErrorIndex(-1), kUnknownFileError);
}

TEST(FileErrorTest, MessageNamesThePathAndTheCondition) {
  EXPECT_EQ(FileErrorMessage("/x/y.hex", ENOENT),
            "Fehler beim Öffnen der Datei\n\n/x/y.hex\n\nDatei oder Verzeichnis existiert nicht");
  EXPECT_EQ(FileErrorMessage("a.bin", 0), "Fehler beim Öffnen der Datei\n\na.bin\n\n ");
}

}  // namespace
}  // namespace zivivar
