#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace zivivar {
namespace {

TEST(IniFileTest, LookupIgnoresCaseBlanksQuotesAndAllButTheFirstKey) {
  const IniFile file = IniFile::Parse(
      "Verify=0\r\n"  // before any section: no key
      "[hardware]\r\n"
      "  portadress =  3bc  \r\n"
      "PortAdress=278\r\n"
      ";Verify=0\r\n#Verify=0\r\nVerify\r\n"  // comments and a line without '='
      "[ 8051 ISP INI-SECTION ]\r\n"
      "LastFile=\"my file.hex\"\r\nQuoted='x'\r\nHalf=\"x\r\n"
      "[Other]\r\n[HARDWARE]\r\nLate=1\r\n");
  const char* isp = "8051 ISP INI-Section";
  EXPECT_EQ(file.Find("Hardware", "PortAdress"), "3bc");
  EXPECT_EQ(file.Find("Hardware", "Late"), "1");  // a section may come twice
  EXPECT_EQ(file.Find(isp, "lastfile"), "my file.hex");
  EXPECT_EQ(file.Find(isp, "Quoted"), "x");
  EXPECT_EQ(file.Find(isp, "Half"), "\"x");
  for (const auto& [section, key] : {std::pair{"Hardware", "Verify"},
                                     {"Hardware", ";Verify"},
                                     {"Hardware", "LastFile"},
                                     {"Other", "PortAdress"}}) {
    EXPECT_FALSE(file.Find(section, key).has_value()) << section << " " << key;
  }
  // A byte order mark does not hide the first section.
  EXPECT_EQ(IniFile::Parse("\xEF\xBB\xBF[S]\nk=v\n").Find("S", "k"), "v");
}

TEST(IniFileTest, IntegersReadLikeTheProfileFunctions) {
  const std::pair<const char*, int> cases[] = {
      {"-5", -5},  {"+12", 12}, {"42abc", 42}, {"1 ; on", 1},    {"yes", 0},
      {"0x10", 0}, {"", 9},     {"\"7\"", 7},  {"4294967297", 1}};  // 9: the fallback
  std::string text = "[S]\n";
  for (size_t i = 0; i < std::size(cases); ++i)
    text += "k" + std::to_string(i) + "=" + cases[i].first + "\n";
  const IniFile file = IniFile::Parse(text);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(file.GetInt("S", "k" + std::to_string(i), 9), cases[i].second) << cases[i].first;
  }
  EXPECT_EQ(file.GetInt("S", "missing", 9), 9);
  EXPECT_EQ(file.GetString("S", "k6", "fallback"), "");
  EXPECT_EQ(file.GetString("S", "missing", "fallback"), "fallback");
}

TEST(IniFileTest, SettingTouchesOnlyItsLineAndAddsWhatIsMissingInPlace) {
  IniFile file = IniFile::Parse(
      "; settings\n[Hardware]\n  TimeOut = 20000   \nName = \"abc\"  \n; trailing comment\n\n"
      "[Empty]\n\n[Other]\nTimeOut=1");  // the last line without its end
  file.SetString("HARDWARE", "timeout", "30000");
  file.SetString("Hardware", "Name", "abc");  // the same value: the line stays byte for byte
  file.SetString("hardware", "New", "v");     // after the last key of its section
  file.SetString("Empty", "k", "1");          // right after the header
  file.SetString("New Section", "k", "1");    // at the end, after a blank line
  file.SetString("New Section", "l", "2");
  EXPECT_EQ(file.Contents(),
            "; settings\n[Hardware]\n  TimeOut = 30000\nName = \"abc\"  \nNew=v\n; trailing "
            "comment\n\n[Empty]\nk=1\n\n[Other]\nTimeOut=1\n\n[New Section]\nk=1\nl=2\n");
}

}  // namespace
}  // namespace zivivar
