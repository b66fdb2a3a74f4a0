#include "config/preferences.h"

#include <gtest/gtest.h>

namespace zivivar {
namespace {

PreferencesInput Valid() {
  PreferencesInput input;
  input.port_address = "0x378";
  input.time_out = "100000";
  input.timebase_korr = "85";
  input.hex_line_len = "32";
  return input;
}

TEST(PreferencesTest, FieldsShowTheSettings) {
  Settings settings;
  settings.PortAdress = 0x3bc;
  settings.TimeOut = 20000000;  // more than the dialog takes: shown as it is
  settings.TimeBaseKorr = 50;
  settings.HexLineLen = 16;
  settings.MessageBeap = 0;
  settings.EndMessage = 1;
  const PreferencesInput input = PreferencesFromSettings(settings);
  EXPECT_EQ(input.port_address, "0x3BC");
  EXPECT_EQ(input.time_out, "20000000");
  EXPECT_EQ(input.timebase_korr, "50");
  EXPECT_EQ(input.hex_line_len, "16");
  EXPECT_FALSE(input.message_beap);
  EXPECT_TRUE(input.end_message);
}

TEST(PreferencesTest, PortAddressIsACIntegerLiteral) {
  for (const char* text : {"888", "01570", "0x378", "0X378", " 0x378", kPortAddressEntries[1]}) {
    PreferencesInput input = Valid();
    input.port_address = text;
    const PreferencesCheck check = CheckPreferences(input);
    ASSERT_TRUE(check.accepted) << text;
    EXPECT_EQ(check.values.PortAdress, 0x378u) << text;
  }
  PreferencesInput input = Valid();
  input.port_address = "0x200";
  EXPECT_TRUE(CheckPreferences(input).accepted);
  input.port_address = "1024";
  EXPECT_TRUE(CheckPreferences(input).accepted);
}

TEST(PreferencesTest, PortAddressOutsideTheFileRangeKeepsTheDialogOpen) {
  for (const char* text : {"0x1FF", "0x401", "378", "", "zzz", "-0x378", "0xd010"}) {
    PreferencesInput input = Valid();
    input.port_address = text;
    input.time_out = "5";  // a later bad field must not hide the first one
    const PreferencesCheck check = CheckPreferences(input);
    EXPECT_FALSE(check.accepted) << text;
    EXPECT_EQ(check.field, kPortAddressField) << text;
    EXPECT_EQ(check.message, "Geben Sie eine ganze Zahl zwischen 0x200 und 0x400 ein.");
  }
}

TEST(PreferencesTest, NumberFieldsTakeTheirRangeBoundsAndRefuseOutside) {
  struct Case {
    std::string PreferencesInput::*member;
    PreferencesField field;
    const char* low;
    const char* high;
    const char* below;
    const char* above;
  };
  const Case cases[] = {
      {&PreferencesInput::time_out, kTimeOutField, "10000", "10000000", "9999", "10000001"},
      {&PreferencesInput::timebase_korr, kTimeBaseKorrField, "70", "100", "69", "101"},
      {&PreferencesInput::hex_line_len, kHexLineLenField, "16", "255", "15", "256"},
  };
  for (const Case& c : cases) {
    const std::string message =
        std::string("Geben Sie eine ganze Zahl zwischen ") + c.low + " und " + c.high + " ein.";
    for (const char* good : {c.low, c.high}) {
      PreferencesInput input = Valid();
      input.*c.member = good;
      EXPECT_TRUE(CheckPreferences(input).accepted) << good;
    }
    for (const char* bad :
         {c.below, c.above, "", "abc", "12x", "1 2", "-1", "99999999999999999999999"}) {
      PreferencesInput input = Valid();
      input.*c.member = bad;
      const PreferencesCheck check = CheckPreferences(input);
      EXPECT_FALSE(check.accepted) << bad;
      EXPECT_EQ(check.field, c.field) << bad;
      EXPECT_EQ(check.message, message) << bad;
    }
  }
}

TEST(PreferencesTest, AcceptedValuesAreTakenWithTheLineLengthMadeEven) {
  PreferencesInput input = Valid();
  input.port_address = "0x278";
  input.time_out = " 10000000 ";
  input.timebase_korr = "+70";
  input.hex_line_len = "255";
  input.message_beap = true;
  input.end_message = false;
  const PreferencesCheck check = CheckPreferences(input);
  ASSERT_TRUE(check.accepted);
  EXPECT_EQ(check.field, kNoField);
  EXPECT_EQ(check.message, "");

  Settings settings;
  settings.MessageBeap = 0;
  settings.EndMessage = 1;
  settings.Verify = 0;
  ApplyPreferences(check.values, settings);
  EXPECT_EQ(settings.PortAdress, 0x278u);
  EXPECT_EQ(settings.TimeOut, 10000000u);
  EXPECT_EQ(settings.TimeBaseKorr, 70);
  EXPECT_EQ(settings.HexLineLen, 254);
  EXPECT_EQ(settings.MessageBeap, 1);
  EXPECT_EQ(settings.EndMessage, 0);
  EXPECT_EQ(settings.Verify, 0);  // not the dialog's
}

}  // namespace
}  // namespace zivivar
