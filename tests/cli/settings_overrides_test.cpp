#include "cli/settings_overrides.h"

#include <gtest/gtest.h>

#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {
namespace {

class SettingsOverridesTest : public ::testing::Test {
 protected:
  SettingsOverridesTest() : services_(view_, beap_) {}

  // Loads the settings of the test directory, then applies overrides.
  Settings LoadWith(const SettingsOverrides& overrides, bool applied = true) {
    Settings settings;
    LoadSettings(dir_.path(), services_, settings);
    EXPECT_EQ(ApplySettingsOverrides(overrides, services_, settings, error_), applied) << error_;
    return settings;
  }

  testing::TempDir dir_;
  testing::ScriptedServicesView view_;
  int beap_ = 0;
  Services services_;
  std::string error_;
};

TEST_F(SettingsOverridesTest, OverridesWinOverTheFileWhichIsNeverWritten) {
  const std::string file =
      "[Hardware]\r\nTimeBaseKorr=70\r\nPortAdress=3bc\r\n"
      "[8051 ISP INI-Section]\r\nFFSave=0\r\nHexLineLen=16\r\n";
  dir_.Write("KORVALNK.INI", file);
  const Settings settings = LoadWith({{"ffsave", "1"}, {"TimeBaseKorr", "90"}, {"FFSave", "0"}});
  EXPECT_EQ(settings.FFSave, 0) << "the later value wins";
  EXPECT_EQ(settings.TimeBaseKorr, 90);
  EXPECT_EQ(settings.PortAdress, 0x3BCu);
  EXPECT_EQ(settings.HexLineLen, 16);
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_EQ(dir_.Read("KORVALNK.INI"), file);

  EXPECT_EQ(LoadWith({{"FFSave", "1"}, {"Colour", "red"}}, false).FFSave, 0) << "all or nothing";
  EXPECT_EQ(error_, "unknown settings key 'Colour'");
  EXPECT_EQ(CanonicalSettingsKey("X-KOORD"), "X-Koord") << "as the file spells it";
}

TEST_F(SettingsOverridesTest, ValuesPassTheChecksOfTheFileWithTheirMessages) {
  const Settings settings = LoadWith(
      {{"PortAdress", "0x100"}, {"HexLineLen", "33"}, {"TimeBaseKorr", "0"}, {"Lock2", "7"}});
  EXPECT_EQ(settings.PortAdress, 0x378u);
  EXPECT_EQ(settings.HexLineLen, 32);
  EXPECT_EQ(settings.TimeBaseKorr, 85);
  EXPECT_EQ(settings.Lock2, 0);
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].text, kBadPortAddressMessage);
}

TEST_F(SettingsOverridesTest, PathsFollowTheSettingsDirectoryAndTheOtherHalfOfTheDataFile) {
  dir_.Write("KORVALNK.INI", "[8051 ISP INI-Section]\nDataPath=/data/fw/\nLastFile=old.hex\n");
  Settings settings = LoadWith({{"LastFile", "new.ihx"}, {"SimState", "chips/a.zvchip"}});
  EXPECT_EQ(settings.data_file_path, "/data/fw/new.ihx");
  EXPECT_EQ(settings.data_file_name, "new.ihx");
  EXPECT_EQ(settings.sim_state_path, dir_.path() + "chips/a.zvchip");
  settings = LoadWith({{"DataPath", "/other/"}});
  EXPECT_EQ(settings.data_file_path, "/other/old.hex");
}

}  // namespace
}  // namespace zivivar
