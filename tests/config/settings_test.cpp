#include "config/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {
namespace {

using testing::ScriptedServicesView;
using testing::TempDir;

class SettingsTest : public ::testing::Test {
 protected:
  // Loads a settings file holding contents (none when contents is null).
  Settings LoadFrom(const char* contents) {
    if (contents != nullptr)
      dir.Write(kSettingsFileName, contents);
    Settings settings;
    load_result = LoadSettings(dir.path(), services, settings);
    return settings;
  }
  Settings LoadKey(const std::string& section, const std::string& line) {
    const std::string contents = "[" + section + "]\r\n" + line + "\r\n";
    return LoadFrom(contents.c_str());
  }
  std::string FileText() { return dir.Read(kSettingsFileName); }

  TempDir dir;
  int beap = 0;
  ScriptedServicesView view;
  Services services{view, beap};
  int load_result = -1;
};

TEST_F(SettingsTest, MissingFileGivesEveryDefaultSilently) {
  const Settings s = LoadFrom(nullptr);
  EXPECT_EQ(load_result, kSettingsOk);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(s.PortAdress, 0x278u);
  EXPECT_EQ(s.DebugNT, 0);
  EXPECT_EQ(s.SearchHardware, 2);
  EXPECT_EQ(s.TimeOut, 100000u);
  EXPECT_EQ(s.MessageBeap, 1);
  EXPECT_EQ(s.TimeBaseKorr, 85);
  EXPECT_EQ(s.Simulator, 0);
  EXPECT_EQ(s.SimFault, "");
  EXPECT_EQ(s.ParportDevice, "");
  EXPECT_EQ(s.sim_state_path, dir.path() + "zivivar-sim.bin");
  EXPECT_EQ(s.FFSave, 0);
  EXPECT_EQ(s.Verify, 1);
  EXPECT_EQ(s.XKoord, 10);
  EXPECT_EQ(s.YKoord, 10);
  EXPECT_EQ(s.ShowDeviceData, 0);
  EXPECT_EQ(s.ManufIndex, 0);
  EXPECT_EQ(s.DeviceIndex, 0);
  EXPECT_EQ(s.TestChecksum, 1);
  EXPECT_EQ(s.EndMessage, 0);
  EXPECT_EQ(s.Lock1 + s.Lock2 + s.Lock3, 0);
  EXPECT_EQ(s.HexLineLen, 32);
  EXPECT_EQ(s.DataFormat, 1);
  EXPECT_EQ(s.ReadFilter, 1);
  EXPECT_EQ(s.settings_file_path, dir.path() + "KORVALNK.INI");
  EXPECT_EQ(s.data_directory, dir.path());
  EXPECT_EQ(s.data_file_path, dir.path() + "tmp");
  EXPECT_EQ(s.data_file_name, "tmp");
}

TEST_F(SettingsTest, SavingWithoutAFileCreatesEveryKeyButTheReadOnlyOnes) {
  const Settings s = LoadFrom(nullptr);
  ASSERT_EQ(SaveSettings(s, services), kSettingsOk);
  EXPECT_EQ(FileText(),
            "[Hardware]\r\n"
            "PortAdress=278\r\n"
            "SearchHardware=2\r\n"
            "TimeOut=100000\r\n"
            "TimeBaseKorr=85\r\n"
            "MessageBeap=1\r\n"
            "\r\n"
            "[8051 ISP INI-Section]\r\n"
            "Verify=1\r\n"
            "FFSave=0\r\n"
            "X-Koord=10\r\n"
            "Y-Koord=10\r\n"
            "DataFormat=1\r\n"
            "ManufIndex=0\r\n"
            "DeviceIndex=0\r\n"
            "TestChecksum=1\r\n"
            "ShowDeviceData=0\r\n"
            "Lock1=0\r\n"
            "Lock2=0\r\n"
            "Lock3=0\r\n"
            "ReadFilter=1\r\n"
            "EndMessage=0\r\n"
            "HexLineLen=32\r\n"
            "DataPath=" +
                dir.path() +
                "\r\n"
                "LastFile=tmp\r\n");
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SettingsTest, PortAddressIsHexWithOrWithoutPrefix) {
  for (const char* text : {"3bc", "0x3BC", "3BC", " 0X3bc "}) {
    const Settings s = LoadKey("Hardware", std::string("PortAdress=") + text);
    EXPECT_EQ(s.PortAdress, 0x3BCu) << text;
  }
  EXPECT_EQ(LoadKey("Hardware", "PortAdress=200").PortAdress, 0x200u);
  EXPECT_EQ(LoadKey("Hardware", "PortAdress=400").PortAdress, 0x400u);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SettingsTest, PortAddressOutsideTheRangeIsReportedAndReplacedBy378) {
  for (const char* text : {"0x1FF", "0x401", "nonsense", "", "-378", "123456789abc"}) {
    view.Clear();
    const Settings s = LoadKey("Hardware", std::string("PortAdress=") + text);
    EXPECT_EQ(s.PortAdress, 0x378u) << text;
    EXPECT_EQ(view.Texts(), std::vector<std::string>{kBadPortAddressMessage}) << text;
  }
  EXPECT_EQ(view.messages.back().caption, "Meldung");
}

TEST_F(SettingsTest, HexLineLengthLosesItsLowestBitAndOutliersAreReported) {
  struct Case {
    const char* value;
    int expected;
    const char* reported;  // the length named in the message, or null for none
  };
  const Case cases[] = {{"33", 32, nullptr}, {"255", 254, nullptr}, {"2", 2, nullptr},
                        {"3", 2, nullptr},   {"1", 32, "0"},        {"0", 32, "0"},
                        {"300", 32, "300"},  {"-3", 32, "-4"}};
  for (const Case& c : cases) {
    view.Clear();
    const Settings s = LoadKey(kIspSection, std::string("HexLineLen=") + c.value);
    EXPECT_EQ(s.HexLineLen, c.expected) << c.value;
    if (c.reported == nullptr) {
      EXPECT_TRUE(view.messages.empty()) << c.value;
    } else {
      ASSERT_EQ(view.messages.size(), 1u) << c.value;
      EXPECT_EQ(view.messages[0].text,
                std::string("Der Wert für die Länge der HEX-Zeilen ist größer 254 oder kleiner "
                            "2.\nEingetragene Länge ") +
                    c.reported + "\n\nWert geändert auf Standardwert = 32 Datenbytes");
    }
  }
}

TEST_F(SettingsTest, BothMessagesComeInTableOrder) {
  LoadFrom("[8051 ISP INI-Section]\nHexLineLen=500\n[Hardware]\nPortAdress=0\n");
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[0].text, kBadPortAddressMessage);
  EXPECT_NE(view.messages[1].text.find("Eingetragene Länge 500"), std::string::npos);
}

TEST_F(SettingsTest, OtherOutOfRangeValuesAreReplacedSilently) {
  struct Case {
    const char* section;
    const char* line;
    int Settings::*member;
    int expected;
  };
  const Case cases[] = {
      {"Hardware", "DebugNT=2", &Settings::DebugNT, 0},
      {"Hardware", "DebugNT=1", &Settings::DebugNT, 1},
      {"Hardware", "SearchHardware=1", &Settings::SearchHardware, 2},
      {"Hardware", "SearchHardware=6", &Settings::SearchHardware, 2},
      {"Hardware", "SearchHardware=5", &Settings::SearchHardware, 5},
      {"Hardware", "MessageBeap=7", &Settings::MessageBeap, 1},
      {"Hardware", "MessageBeap=0", &Settings::MessageBeap, 0},
      {"Hardware", "TimeBaseKorr=0", &Settings::TimeBaseKorr, 85},
      {"Hardware", "TimeBaseKorr=101", &Settings::TimeBaseKorr, 85},
      {"Hardware", "TimeBaseKorr=50", &Settings::TimeBaseKorr, 50},
      {"Hardware", "Simulator=2", &Settings::Simulator, 0},
      {"Hardware", "Simulator=1", &Settings::Simulator, 1},
      {kIspSection, "FFSave=2", &Settings::FFSave, 0},
      {kIspSection, "Verify=0", &Settings::Verify, 0},
      {kIspSection, "Verify=-3", &Settings::Verify, 1},
      {kIspSection, "X-Koord=1025", &Settings::XKoord, 10},
      {kIspSection, "X-Koord=1024", &Settings::XKoord, 1024},
      {kIspSection, "x-koord=-1", &Settings::XKoord, 10},
      {kIspSection, "Y-Koord=769", &Settings::YKoord, 10},
      {kIspSection, "Y-Koord=0", &Settings::YKoord, 0},
      {kIspSection, "ShowDeviceData=3", &Settings::ShowDeviceData, 0},
      {kIspSection, "ManufIndex=-5", &Settings::ManufIndex, 1},
      {kIspSection, "ManufIndex=7", &Settings::ManufIndex, 7},
      {kIspSection, "DeviceIndex=-5", &Settings::DeviceIndex, 0},
      {kIspSection, "TestChecksum=9", &Settings::TestChecksum, 1},
      {kIspSection, "EndMessage=9", &Settings::EndMessage, 1},
      {kIspSection, "Lock2=2", &Settings::Lock2, 0},
      {kIspSection, "Lock3=1", &Settings::Lock3, 1},
      {kIspSection, "DataFormat=0", &Settings::DataFormat, 1},
      {kIspSection, "DataFormat=10", &Settings::DataFormat, 1},
      {kIspSection, "DataFormat=9", &Settings::DataFormat, 9},
      {kIspSection, "ReadFilter=5", &Settings::ReadFilter, 5},
      {kIspSection, "ReadFilter=6", &Settings::ReadFilter, 1},
  };
  for (const Case& c : cases) {
    const Settings s = LoadKey(c.section, c.line);
    EXPECT_EQ(s.*c.member, c.expected) << c.line;
  }
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SettingsTest, TimeOutHasALowerLimitOnly) {
  EXPECT_EQ(LoadKey("Hardware", "TimeOut=9999").TimeOut, 100000u);
  EXPECT_EQ(LoadKey("Hardware", "TimeOut=10000").TimeOut, 10000u);
  EXPECT_EQ(LoadKey("Hardware", "TimeOut=20000000").TimeOut, 20000000u);
  EXPECT_EQ(LoadKey("Hardware", "TimeOut=4294967295").TimeOut, 4294967295u);
  EXPECT_EQ(LoadKey("Hardware", "TimeOut=-5").TimeOut, 100000u);
  EXPECT_EQ(LoadKey("Hardware", "TimeOut=abc").TimeOut, 100000u);
}

TEST_F(SettingsTest, DataFileIsFormedFromDirectoryPartAndFileName) {
  Settings s = LoadFrom("[8051 ISP INI-Section]\nDataPath=/home/u/data\nLastFile=old/dir/fw.hex\n");
  EXPECT_EQ(s.data_directory, "/home/u/data");
  EXPECT_EQ(s.data_file_path, "/home/u/fw.hex");
  EXPECT_EQ(s.data_file_name, "fw.hex");

  s = LoadFrom("[8051 ISP INI-Section]\nDataPath=/home/u/data/\nLastFile=\n");
  EXPECT_EQ(s.data_file_path, "/home/u/data/");
  EXPECT_EQ(s.data_file_name, "");
}

TEST_F(SettingsTest, SimulatorStateFileIsTakenFromTheSettingsDirectory) {
  EXPECT_EQ(LoadKey("Hardware", "SimState=chips/a.bin").sim_state_path, dir.path() + "chips/a.bin");
  EXPECT_EQ(LoadKey("Hardware", "SimState=/var/chip.bin").sim_state_path, "/var/chip.bin");
  EXPECT_EQ(LoadKey("Hardware", "SimState=").sim_state_path, dir.path() + "zivivar-sim.bin");
  const Settings s =
      LoadFrom("[Hardware]\nSimFault=handshake:12\nParportDevice=/dev/parport1\nSimulator=1\n");
  EXPECT_EQ(s.SimFault, "handshake:12");
  EXPECT_EQ(s.ParportDevice, "/dev/parport1");
  EXPECT_EQ(s.Simulator, 1);
}

TEST_F(SettingsTest, RoundTripKeepsCommentsUnknownKeysAndSpellingOfTheFile) {
  Settings s = LoadFrom(
      "; made by hand\n"
      "[hardware]\n"
      "portadress = 0x3BC\n"
      "DebugNT=1\n"
      "Simulator=1\n"
      "Vendor=something else\n"
      "\n"
      "[My Own]\n"
      "Verify=0\n"
      "\n"
      "[8051 ISP INI-SECTION]\n"
      "VERIFY=1\n"
      "DataPath=/data/\n"
      "LastFile=a.hex\n");
  EXPECT_EQ(s.PortAdress, 0x3BCu);
  EXPECT_EQ(s.Verify, 1);
  s.Verify = 0;
  s.PortAdress = 0x2BC;
  s.TimeOut = 4000000000u;
  s.data_file_path = "/other/b.s19";
  ASSERT_EQ(SaveSettings(s, services), kSettingsOk);
  EXPECT_EQ(FileText(),
            "; made by hand\n"
            "[hardware]\n"
            "portadress = 2bc\n"
            "DebugNT=1\n"
            "Simulator=1\n"
            "Vendor=something else\n"
            "SearchHardware=2\n"
            "TimeOut=4000000000\n"
            "TimeBaseKorr=85\n"
            "MessageBeap=1\n"
            "\n"
            "[My Own]\n"
            "Verify=0\n"
            "\n"
            "[8051 ISP INI-SECTION]\n"
            "VERIFY=0\n"
            "DataPath=/other/\n"
            "LastFile=b.s19\n"
            "FFSave=0\n"
            "X-Koord=10\n"
            "Y-Koord=10\n"
            "DataFormat=1\n"
            "ManufIndex=0\n"
            "DeviceIndex=0\n"
            "TestChecksum=1\n"
            "ShowDeviceData=0\n"
            "Lock1=0\n"
            "Lock2=0\n"
            "Lock3=0\n"
            "ReadFilter=1\n"
            "EndMessage=0\n"
            "HexLineLen=32\n");

  const Settings again = LoadFrom(nullptr);
  EXPECT_EQ(again.PortAdress, 0x2BCu);
  EXPECT_EQ(again.TimeOut, 4000000000u);
  EXPECT_EQ(again.Verify, 0);
  EXPECT_EQ(again.DebugNT, 1);
  EXPECT_EQ(again.data_file_path, "/other/b.s19");
  EXPECT_EQ(again.data_directory, "/other/");
}

TEST_F(SettingsTest, AnUnchangedFileIsNotRewritten) {
  Settings s = LoadFrom(nullptr);
  ASSERT_EQ(SaveSettings(s, services), kSettingsOk);
  struct stat before {};
  ASSERT_EQ(stat(dir.File(kSettingsFileName).c_str(), &before), 0);
  s = LoadFrom(nullptr);
  ASSERT_EQ(SaveSettings(s, services), kSettingsOk);
  struct stat after {};
  ASSERT_EQ(stat(dir.File(kSettingsFileName).c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST_F(SettingsTest, AWriteFailureIsReportedAndCreatesNothing) {
  Settings s = LoadFrom(nullptr);
  s.settings_file_path = dir.path() + "gone/KORVALNK.INI";
  EXPECT_EQ(SaveSettings(s, services), kSettingsNotSaved);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text,
            "Die Einstellungen konnten nicht gespeichert werden.\n\nDatei: " + dir.path() +
                "gone/KORVALNK.INI\nGrund: nicht vorhanden (No such file or directory)");
  EXPECT_FALSE(dir.Exists("gone"));
}

TEST_F(SettingsTest, AnUnreadableFileIsReportedAndNeverOverwritten) {
  ASSERT_EQ(mkdir(dir.File(kSettingsFileName).c_str(), 0755), 0);
  Settings s = LoadFrom(nullptr);
  EXPECT_EQ(load_result, kSettingsUnreadable);
  EXPECT_EQ(s.PortAdress, 0x278u);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_NE(view.messages[0].text.find("kann nicht gelesen werden: ist ein Verzeichnis"),
            std::string::npos);
  view.Clear();
  EXPECT_EQ(SaveSettings(s, services), kSettingsNotSaved);
  EXPECT_TRUE(view.messages.empty());
  struct stat info {};
  ASSERT_EQ(stat(dir.File(kSettingsFileName).c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
}

}  // namespace
}  // namespace zivivar
