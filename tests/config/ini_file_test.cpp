#include "config/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "support/temp_dir.h"

namespace zivivar {
namespace {

TEST(IniFileTest, LookupIgnoresCaseAndBlanksAndFirstKeyWins) {
  const IniFile file = IniFile::Parse(
      "[hardware]\r\n"
      "  portadress =  3bc  \r\n"
      "PortAdress=278\r\n"
      "[ 8051 ISP INI-SECTION ]\r\n"
      "LastFile=\"my file.hex\"\r\n"
      "Quoted='x'\r\n"
      "Half=\"x\r\n");
  EXPECT_EQ(file.Find("Hardware", "PortAdress"), "3bc");
  EXPECT_EQ(file.Find("8051 ISP INI-Section", "lastfile"), "my file.hex");
  EXPECT_EQ(file.Find("8051 ISP INI-Section", "Quoted"), "x");
  EXPECT_EQ(file.Find("8051 ISP INI-Section", "Half"), "\"x");
  EXPECT_FALSE(file.Find("Hardware", "LastFile").has_value());
  EXPECT_FALSE(file.Find("Other", "PortAdress").has_value());
}

TEST(IniFileTest, CommentsLinesWithoutEqualsAndKeysBeforeAnySectionAreNoKeys) {
  const IniFile file = IniFile::Parse(
      "Verify=0\n"
      "[S]\n"
      ";Verify=0\n"
      "#Verify=0\n"
      "Verify\n");
  EXPECT_FALSE(file.Find("S", "Verify").has_value());
  EXPECT_FALSE(file.Find("S", ";Verify").has_value());
  EXPECT_EQ(file.GetInt("S", "Verify", 7), 7);
}

TEST(IniFileTest, AByteOrderMarkDoesNotHideTheFirstSection) {
  const IniFile file = IniFile::Parse("\xEF\xBB\xBF[Hardware]\nTimeOut=20000\n");
  EXPECT_EQ(file.Find("Hardware", "TimeOut"), "20000");
}

TEST(IniFileTest, KeysOfARepeatedSectionAreFound) {
  const IniFile file = IniFile::Parse("[A]\nx=1\n[B]\ny=2\n[a]\nz=3\n");
  EXPECT_EQ(file.GetInt("A", "z", 0), 3);
}

TEST(IniFileTest, IntegersReadLikeTheProfileFunctions) {
  const IniFile file = IniFile::Parse(
      "[S]\n"
      "neg=-5\n"
      "plus=+12\n"
      "trail=42abc\n"
      "comment=1 ; on\n"
      "word=yes\n"
      "hex=0x10\n"
      "empty=\n"
      "wrap=4294967297\n"
      "quoted=\"7\"\n");
  EXPECT_EQ(file.GetInt("S", "neg", 9), -5);
  EXPECT_EQ(file.GetInt("S", "plus", 9), 12);
  EXPECT_EQ(file.GetInt("S", "trail", 9), 42);
  EXPECT_EQ(file.GetInt("S", "comment", 9), 1);
  EXPECT_EQ(file.GetInt("S", "word", 9), 0);
  EXPECT_EQ(file.GetInt("S", "hex", 9), 0);
  EXPECT_EQ(file.GetInt("S", "empty", 9), 9);
  EXPECT_EQ(file.GetInt("S", "wrap", 9), 1);
  EXPECT_EQ(file.GetInt("S", "quoted", 9), 7);
  EXPECT_EQ(file.GetInt("S", "missing", 9), 9);
  EXPECT_EQ(file.GetString("S", "empty", "fallback"), "");
  EXPECT_EQ(file.GetString("S", "missing", "fallback"), "fallback");
}

TEST(IniFileTest, ReplacingAValueTouchesOnlyThatLine) {
  const std::string original =
      "; settings\r\n"
      "[Hardware]\r\n"
      "  TimeOut = 20000   \r\n"
      "Unknown=keep me\r\n"
      "\r\n"
      "[Other]\r\n"
      "TimeOut=1\r\n";
  IniFile file = IniFile::Parse(original);
  file.SetString("HARDWARE", "timeout", "30000");
  EXPECT_EQ(file.Contents(),
            "; settings\r\n"
            "[Hardware]\r\n"
            "  TimeOut = 30000\r\n"
            "Unknown=keep me\r\n"
            "\r\n"
            "[Other]\r\n"
            "TimeOut=1\r\n");
}

TEST(IniFileTest, WritingTheSameValueKeepsTheLineByteForByte) {
  const std::string original = "[S]\nName = \"abc\"  \n";
  IniFile file = IniFile::Parse(original);
  file.SetString("S", "Name", "abc");
  EXPECT_EQ(file.Contents(), original);
}

TEST(IniFileTest, MissingKeyGoesAfterTheLastKeyOfItsSection) {
  IniFile file = IniFile::Parse(
      "[A]\n"
      "x=1\n"
      "; trailing comment\n"
      "\n"
      "[B]\n"
      "y=2\n");
  file.SetString("a", "New", "v");
  file.SetString("B", "Other", "w");
  EXPECT_EQ(file.Contents(),
            "[A]\n"
            "x=1\n"
            "New=v\n"
            "; trailing comment\n"
            "\n"
            "[B]\n"
            "y=2\n"
            "Other=w\n");
}

TEST(IniFileTest, MissingSectionIsAppendedAfterABlankLine) {
  IniFile file = IniFile::Parse("[A]\nx=1");  // last line without its end
  file.SetString("New Section", "k", "1");
  file.SetString("New Section", "l", "2");
  EXPECT_EQ(file.Contents(), "[A]\nx=1\n\n[New Section]\nk=1\nl=2\n");
}

TEST(IniFileTest, AnEmptySectionTakesItsFirstKeyRightAfterTheHeader) {
  IniFile file = IniFile::Parse("[A]\n\n[B]\n");
  file.SetString("A", "k", "1");
  EXPECT_EQ(file.Contents(), "[A]\nk=1\n\n[B]\n");
}

TEST(IniFileTest, ANewDocumentUsesCrLf) {
  IniFile file;
  file.SetString("Hardware", "PortAdress", "378");
  EXPECT_EQ(file.Contents(), "[Hardware]\r\nPortAdress=378\r\n");
  EXPECT_EQ(IniFile::Parse(file.Contents()).Find("Hardware", "PortAdress"), "378");
}

TEST(IniFileTest, ReadIniFileReportsMissingAndUnreadableFiles) {
  testing::TempDir dir;
  IniFile file = IniFile::Parse("[Stale]\nx=1\n");
  EXPECT_EQ(ReadIniFile(dir.File("none.ini"), file), ENOENT);
  EXPECT_EQ(file.Contents(), "");

  EXPECT_EQ(ReadIniFile(dir.path(), file), EISDIR);

  dir.Write("a.ini", "[S]\r\nk=v\r\n");
  ASSERT_EQ(ReadIniFile(dir.File("a.ini"), file), 0);
  EXPECT_EQ(file.Find("S", "k"), "v");
}

}  // namespace
}  // namespace zivivar
