#include "config/preferences.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace zivivar {
namespace {

using namespace std::string_literals;

std::string RangeText(const std::string& low, const std::string& high) {
  return "Geben Sie eine ganze Zahl zwischen " + low + " und " + high + " ein.";
}

// Valid input with one field replaced.
PreferencesCheck Check(std::string PreferencesInput::*field, const std::string& text,
                       const char* time_out = "100000") {
  PreferencesInput input{"0x378", time_out, "85", "32"};
  input.*field = text;
  return CheckPreferences(input);
}

TEST(PreferencesTest, PortAddressIsACIntegerLiteralFrom0x200To0x400) {
  const std::pair<const char*, uint32_t> cases[] = {
      // 0: refused
      {"888", 0x378},  {"01570", 0x378}, {" 0X378", 0x378}, {"0x200", 0x200},
      {"1024", 0x400}, {"0x1FF", 0},     {"0x401", 0},      {"378", 0},
      {"", 0},         {"zzz", 0},       {"-0x378", 0},     {"0xd010", 0}};
  for (const auto& [text, value] : cases) {
    // A later bad field must not hide a bad port address.
    const PreferencesCheck check =
        Check(&PreferencesInput::port_address, text, value ? "100000" : "5");
    EXPECT_EQ(check.accepted ? check.values.PortAdress : 0, value) << text;
    EXPECT_EQ(check.field, value ? kNoField : kPortAddressField) << text;
    EXPECT_EQ(check.message, value ? "" : RangeText("0x200", "0x400")) << text;
  }
}

TEST(PreferencesTest, NumberFieldsTakeTheirRangeBoundsAndRefuseOutside) {
  const std::tuple<std::string PreferencesInput::*, PreferencesField, int, int> fields[] = {
      {&PreferencesInput::time_out, kTimeOutField, 10000, 10000000},
      {&PreferencesInput::timebase_korr, kTimeBaseKorrField, 70, 100},
      {&PreferencesInput::hex_line_len, kHexLineLenField, 16, 255}};
  for (const auto& [member, field, low, high] : fields) {
    const std::string from = std::to_string(low), to = std::to_string(high);
    EXPECT_TRUE(Check(member, " " + from + " ").accepted && Check(member, to).accepted) << from;
    for (const std::string& bad : {std::to_string(low - 1), std::to_string(high + 1), ""s,
                                   from + "x", "99999999999999999999999"s}) {
      const PreferencesCheck check = Check(member, bad);
      EXPECT_EQ(std::tuple(check.accepted, check.field, check.message),
                std::tuple(false, field, RangeText(from, to)))
          << bad;
    }
  }
}

TEST(PreferencesTest, EveryValueComesBackThroughTheFieldsIntoTheSettings) {
  Settings shown;
  shown.PortAdress = 0x3BC;
  shown.TimeOut = 250000;
  shown.TimeBaseKorr = 90;
  shown.HexLineLen = 16;
  shown.MessageBeap = 0;
  shown.EndMessage = 1;
  shown.FastProfile = 1;
  const PreferencesCheck check = CheckPreferences(PreferencesFromSettings(shown));
  ASSERT_TRUE(check.accepted) << check.message;
  Settings taken;
  ApplyPreferences(check.values, taken);
  EXPECT_EQ(std::tuple(taken.PortAdress, taken.TimeOut, taken.TimeBaseKorr, taken.HexLineLen,
                       taken.MessageBeap, taken.EndMessage, taken.FastProfile),
            std::tuple(0x3BCu, 250000u, 90, 16, 0, 1, 1));
}

}  // namespace
}  // namespace zivivar
