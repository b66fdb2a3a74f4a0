#include "config/settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {
namespace {

using Texts = std::vector<std::string>;

// The text with every '|' turned into the line end.
std::string Lines(const std::string& text, const std::string& end = "\n") {
  std::string lines;
  for (const char c : text)
    lines += c == '|' ? end : std::string(1, c);
  return lines;
}

const char kPortText[] =
    "Portadresse in\n'KORVALNK.INI'\nkann nicht stimmen!!\n\nNehme Standardwert von 0x378.";

std::string LineLengthText(const std::string& length) {
  return "Der Wert für die Länge der HEX-Zeilen ist größer 254 oder kleiner 2.\nEingetragene "
         "Länge " +
         length + "\n\nWert geändert auf Standardwert = 32 Datenbytes";
}

class SettingsTest : public ::testing::Test {
 protected:
  // Loads the settings file after writing contents into it (no file without contents).
  Settings LoadFrom(const std::optional<std::string>& contents) {
    if (contents)
      dir.Write(kSettingsFileName, *contents);
    Settings settings;
    load_result = LoadSettings(dir.path(), services, settings);
    return settings;
  }
  Settings LoadKey(const std::string& line) {
    return LoadFrom("[Hardware]\n" + line + "\n[8051 ISP INI-Section]\n" + line + "\n");
  }

  testing::TempDir dir;
  int beap = 0;
  testing::ScriptedServicesView view;
  Services services{view, beap};
  SettingsResult load_result = SettingsResult::kOk;
};

TEST_F(SettingsTest, WithoutAFileEveryKeyTakesItsDefaultAndSavingCreatesTheFile) {
  const Settings s = LoadFrom(std::nullopt);
  EXPECT_EQ(load_result, SettingsResult::kOk);
  EXPECT_EQ(s.settings_file_path, dir.path() + "KORVALNK.INI");
  ASSERT_EQ(SaveSettings(s, services), SettingsResult::kOk);
  const Settings again = LoadFrom(std::nullopt);
  EXPECT_EQ(std::tuple(again.PortAdress, again.TimeOut, again.HexLineLen, again.data_file_path),
            std::tuple(0x278u, 100000u, 32, s.data_file_path));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SettingsTest, PortAddressIsHexAndOutsideItsRangeReportedAndReplacedBy378) {
  const std::pair<const char*, uint32_t> cases[] = {
      // 0: refused
      {"3bc", 0x3BC}, {"0x3BC", 0x3BC}, {" 0X3bc ", 0x3BC}, {"200", 0x200},
      {"400", 0x400}, {"0x1FF", 0},     {"0x401", 0},       {"nonsense", 0},
      {"", 0},        {"-378", 0},      {"123456789abc", 0}};
  for (const auto& [text, value] : cases) {
    view.Clear();
    EXPECT_EQ(LoadKey(std::string("PortAdress=") + text).PortAdress, value ? value : 0x378) << text;
    EXPECT_EQ(view.Texts(), value ? Texts{} : Texts{kPortText}) << text;
  }
}

TEST_F(SettingsTest, HexLineLengthLosesItsLowestBitAndOutliersAreReported) {
  const std::tuple<const char*, int, const char*> cases[] = {
      // value, length taken, length named in the message (none when null)
      {"33", 32, nullptr}, {"255", 254, nullptr}, {"2", 2, nullptr},  {"3", 2, nullptr},
      {"1", 32, "0"},      {"0", 32, "0"},        {"300", 32, "300"}, {"-3", 32, "-4"}};
  for (const auto& [value, taken, reported] : cases) {
    view.Clear();
    EXPECT_EQ(LoadKey(std::string("HexLineLen=") + value).HexLineLen, taken) << value;
    EXPECT_EQ(view.Texts(), reported ? Texts{LineLengthText(reported)} : Texts{}) << value;
  }
}

// Each key of the first file lies just beyond one end of its range, or is a
// switch set to another number than 0 or 1, and is replaced; the second file
// holds the values at those ends and comes back unchanged.
TEST_F(SettingsTest, OtherValuesAreReplacedSilentlyBeyondTheirRangesAndKeptAtTheEnds) {
  Settings s = LoadFrom(
      Lines("[Hardware]|DebugNT=2|SearchHardware=6|TimeOut=9999|MessageBeap=-1|TimeBaseKorr=0|"
            "Simulator=2|[8051 ISP INI-Section]|Verify=-3|FFSave=2|x-koord=1025|Y-Koord=-1|"
            "DataFormat=10|ManufIndex=-1|DeviceIndex=-1|TestChecksum=-1|ShowDeviceData=2|"
            "Lock1=2|Lock2=-1|Lock3=3|ReadFilter=6|EndMessage=9|DataPath=/d/|LastFile=f.hex|"));
  EXPECT_EQ(s.DebugNT + s.Simulator, 0);  // never written back
  ASSERT_EQ(SaveSettings(s, services), SettingsResult::kOk);
  EXPECT_EQ(dir.Read(kSettingsFileName),
            Lines("[Hardware]|DebugNT=2|SearchHardware=2|TimeOut=100000|MessageBeap=1|"
                  "TimeBaseKorr=85|Simulator=2|PortAdress=278|FastProfile=0|[8051 ISP "
                  "INI-Section]|Verify=1|"
                  "FFSave=0|x-koord=10|Y-Koord=10|DataFormat=1|ManufIndex=1|DeviceIndex=0|"
                  "TestChecksum=1|ShowDeviceData=0|Lock1=0|Lock2=0|Lock3=0|ReadFilter=1|"
                  "EndMessage=1|DataPath=/d/|LastFile=f.hex|HexLineLen=32|"));

  const std::string ends = Lines(
      "[Hardware]|PortAdress=200|DebugNT=1|SearchHardware=5|TimeOut=10000|MessageBeap=0|"
      "TimeBaseKorr=1|Simulator=1|FastProfile=1|[8051 ISP "
      "INI-Section]|Verify=0|FFSave=1|X-Koord=1024|"
      "Y-Koord=0|DataFormat=9|ManufIndex=0|DeviceIndex=0|TestChecksum=0|ShowDeviceData=1|"
      "Lock1=1|Lock2=0|Lock3=1|ReadFilter=5|EndMessage=0|DataPath=/d/|LastFile=f.hex|"
      "HexLineLen=32|");
  s = LoadFrom(ends);
  EXPECT_EQ(s.DebugNT + s.Simulator, 2);
  std::filesystem::create_hard_link(dir.File(kSettingsFileName), dir.File("same"));
  ASSERT_EQ(SaveSettings(s, services), SettingsResult::kOk);
  EXPECT_EQ(dir.Read(kSettingsFileName), ends);
  // An unchanged file is not even rewritten.
  EXPECT_TRUE(std::filesystem::equivalent(dir.File(kSettingsFileName), dir.File("same")));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SettingsTest, DerivedPaths) {
  Settings s = LoadFrom("[8051 ISP INI-Section]\nDataPath=/home/u/data\nLastFile=old/dir/fw.hex\n");
  // The directory part of DataPath.
  EXPECT_EQ(s.data_directory + "|" + s.data_file_path + "|" + s.data_file_name,
            "/home/u/data|/home/u/fw.hex|fw.hex");
  s = LoadFrom("[8051 ISP INI-Section]\nDataPath=/home/u/data/\nLastFile=\n");
  EXPECT_EQ(s.data_file_path + "|" + s.data_file_name, "/home/u/data/|");

  EXPECT_EQ(LoadKey("SimState=chips/a.bin").sim_state_path, dir.path() + "chips/a.bin");
  EXPECT_EQ(LoadKey("SimState=/var/chip.bin").sim_state_path, "/var/chip.bin");
  EXPECT_EQ(LoadKey("SimState=").sim_state_path, dir.path() + "zivivar-sim.bin");
}

TEST_F(SettingsTest, RoundTripKeepsCommentsUnknownKeysAndSpellingOfTheFile) {
  Settings s = LoadFrom(
      Lines("; made by hand|[hardware]|portadress = 0x3BC|DebugNT=1|Vendor=something else||"
            "[My Own]|Verify=0||[8051 ISP INI-SECTION]|VERIFY=1|DataPath=/data/|LastFile=a.hex|"));
  EXPECT_EQ(s.PortAdress, 0x3BCu);
  EXPECT_EQ(s.Verify, 1);
  s.Verify = 0;
  s.PortAdress = 0x2BC;
  s.TimeOut = 4000000000u;
  s.data_file_path = "/other/b.s19";
  ASSERT_EQ(SaveSettings(s, services), SettingsResult::kOk);
  EXPECT_EQ(dir.Read(kSettingsFileName),
            Lines("; made by hand|[hardware]|portadress = 2bc|DebugNT=1|Vendor=something else|"
                  "SearchHardware=2|TimeOut=4000000000|TimeBaseKorr=85|MessageBeap=1|FastProfile=0|"
                  "|[My Own]|"
                  "Verify=0||[8051 ISP INI-SECTION]|VERIFY=0|DataPath=/other/|LastFile=b.s19|"
                  "FFSave=0|X-Koord=10|Y-Koord=10|DataFormat=1|ManufIndex=0|DeviceIndex=0|"
                  "TestChecksum=1|ShowDeviceData=0|Lock1=0|Lock2=0|Lock3=0|ReadFilter=1|"
                  "EndMessage=0|HexLineLen=32|"));
  const Settings again = LoadFrom(std::nullopt);
  EXPECT_EQ(std::tuple(again.PortAdress, again.TimeOut, again.data_file_path),
            std::tuple(0x2BCu, 4000000000u, "/other/b.s19"));
}

TEST_F(SettingsTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
  const std::string old = "[Hardware]\r\nPortAdress=3bc\r\n";
  const Settings s = LoadFrom(old);
  // Files may grow no larger than the old one, so the new one cannot be written.
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  rlimit small = old_limit;
  small.rlim_cur = old.size();
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const SettingsResult result = SaveSettings(s, services);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(result, SettingsResult::kNotSaved);
  EXPECT_EQ(dir.Read(kSettingsFileName), old);
  EXPECT_EQ(view.Texts(), Texts{"Die Einstellungen konnten nicht gespeichert werden.\n\nDatei: " +
                                s.settings_file_path +
                                "\nGrund: Fehler 27 (File too large)\n\nDie bisherige Datei "
                                "bleibt unverändert."});
}

// A settings file that cannot be read, could block the reader or never end,
// or one far too long, is not read: the defaults hold, and the file is left alone.
// A reader that blocks or loops is ended by the alarm, and the test with it.
TEST_F(SettingsTest, AFileThatCannotBeReadOrCouldBlockOrNeverEndIsNotRead) {
  const std::string path = dir.File(kSettingsFileName);
  auto load = [&] {
    view.Clear();
    alarm(5);
    const Settings s = LoadFrom(std::nullopt);
    alarm(0);
    const bool kept = load_result == SettingsResult::kUnreadable &&
                      SaveSettings(s, services) == SettingsResult::kNotSaved;
    return std::string(kept ? "unread, kept " : "") + std::to_string(s.PortAdress) + " " +
           view.Texts().at(0);
  };
  // Unreadable, not saved, the default port 0x278.
  const std::string unread =
      "unread, kept 632 Die Einstellungsdatei\n'" + path + "'\nkann nicht gelesen werden: ";
  const std::string defaults =
      ".\n\nEs gelten die Standardwerte; die Datei wird beim Beenden\nnicht überschrieben.";
  ASSERT_TRUE(std::filesystem::create_directory(path));
  EXPECT_EQ(load(), unread + "ist ein Verzeichnis (Is a directory)" + defaults);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  std::filesystem::remove(path);
  // A device that never ends, and a FIFO without a writer.
  ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);
  EXPECT_EQ(load(), unread + "keine gewöhnliche Datei" + defaults);
  unlink(path.c_str());
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(load(), unread + "keine gewöhnliche Datei" + defaults);
  unlink(path.c_str());
  dir.Write(kSettingsFileName,
            "[Hardware]\nPortAdress=3bc\n" + std::string(kMaxSettingsFileSize, ';'));
  EXPECT_EQ(load(), unread + "größer als 1 MByte" + defaults);
}

}  // namespace
}  // namespace zivivar
