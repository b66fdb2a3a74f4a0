#include "cli/settings_overrides.h"

#include <gtest/gtest.h>

#include <tuple>

#include "cli/cli_fixture.h"
#include "support/scripted_services_view.h"

namespace zivivar::testing {
namespace {

class SettingsOverridesTest : public CliTest {
 protected:
  // Loads the settings of the test directory, then applies overrides.
  Settings LoadWith(const SettingsOverrides& overrides, bool applied = true) {
    Settings settings;
    LoadSettings(dir_.path(), services_, settings);
    EXPECT_EQ(ApplySettingsOverrides(overrides, settings, error_), applied) << error_;
    return settings;
  }

  ScriptedServicesView view_;
  int beap_ = 0;
  Services services_{view_, beap_};
  std::string error_;
};

TEST_F(SettingsOverridesTest, OverridesWinOverTheFileAndALaterOneOverAnEarlier) {
  const std::string file =
      "[Hardware]\r\nTimeBaseKorr=70\r\nPortAdress=3bc\r\n"
      "[8051 ISP INI-Section]\r\nFFSave=0\r\nHexLineLen=16\r\n";
  dir_.Write("KORVALNK.INI", file);
  const Settings settings =
      LoadWith({{"ffsave", "1"}, {"TimeBaseKorr", "90"}, {"FFSave", "0"}, {"hexlinelen", "33"}});
  EXPECT_EQ(settings.FFSave, 0) << "the later value wins";
  EXPECT_EQ(settings.TimeBaseKorr, 90);
  EXPECT_EQ(settings.PortAdress, 0x3BCu);
  EXPECT_EQ(settings.HexLineLen, 32) << "made even, as the file's";

  EXPECT_EQ(LoadWith({{"FFSave", "1"}, {"Colour", "red"}}, false).FFSave, 0) << "all or nothing";
  EXPECT_EQ(error_, "unknown settings key 'Colour'");
}

// A value that the settings file would read as 0 or replace, and a fault
// switch that the simulator does not know, from the command line or from the
// file, are usage errors: nothing runs.
TEST_F(SettingsOverridesTest, BadValuesAndUnknownFaultSwitchesAreUsageErrors) {
  const std::string hint = "\nTry 'zivivar-cli --help'.\n";
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // --set, or "" for none; settings file; what is said
      {"Simulator=yes", "", "Simulator takes a whole number from 0 to 1, not 'yes'" + hint},
      {"TimeOut=-5", "", "TimeOut takes a whole number from 10000 to 4294967295, not '-5'" + hint},
      {"TimeBaseKorr=101", "", "TimeBaseKorr takes a whole number from 1 to 100, not '101'" + hint},
      {"PortAdress=0x1FF", "",
       "PortAdress takes a hexadecimal address from 0x200 to 0x400, not '0x1FF'" + hint},
      {"Colour=red", "", "unknown settings key 'Colour'" + hint},
      {"SimFault=typo", "", "SimFault: unknown simulator fault switch 'typo'" + hint},
      {"", "[Hardware]\nSimFault=nochip,typo\n",
       "SimFault: unknown simulator fault switch 'typo'\n"},
  };
  for (const auto& [set, file, said] : cases) {
    dir_.Write("KORVALNK.INI", file);
    std::vector<std::string> args = {"blank"};
    if (!set.empty())
      args.insert(args.begin(), {"--set", set});
    const CliResult result = Sim("AT89S52", args);
    EXPECT_EQ(result.status, 2) << set << file;
    EXPECT_EQ(result.err, "zivivar-cli: " + said) << set << file;
    EXPECT_EQ(result.out, "") << set << file;
  }
}

}  // namespace
}  // namespace zivivar::testing
