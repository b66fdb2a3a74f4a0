#include "ui/main_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "dialog_fixture.h"
#include "library/device_selection.h"
#include "programmer/port_link.h"

namespace zivivar {
namespace {

using ::testing::ElementsAre;

const char kManufList[] = "list 1004";
const char kDeviceList[] = "list 1011";

TEST_F(DialogTest, StartUpPlacesTheWindowSetsTheBoxesAndFillsTheLists) {
  isp = {"X-Koord=40",     "Y-Koord=50",    "Verify=0",          "FFSave=1",
         "TestChecksum=1", "Lock1=1",       "Lock2=0",           "Lock3=0",
         "ManufIndex=0",   "DeviceIndex=1", "LastFile=blink.ihx"};
  view.rect = {0, 0, 420, 260};
  Start();

  ASSERT_FALSE(view.log.empty());
  EXPECT_EQ(view.log.front(), "move 40,50 420x260") << "placed first, with its own size";
  EXPECT_FALSE(dialog->demo_mode());
  EXPECT_FALSE(view.IsChecked(Control::kVerifyBox));
  EXPECT_TRUE(view.IsChecked(Control::kFFSaveBox));
  EXPECT_TRUE(view.IsChecked(Control::kChecksumBox));
  EXPECT_TRUE(view.IsChecked(Control::kLock1Box));
  EXPECT_FALSE(view.IsChecked(Control::kLock2Box));
  EXPECT_EQ(view.file_name_text, "blink.ihx");
  EXPECT_EQ(dialog->eeprom_path(), dir.File("blink.eep"));

  EXPECT_THAT(view.ListTexts(Control::kManufacturerList), ElementsAre("Testmaker", "Other"));
  EXPECT_THAT(view.ListTexts(Control::kDeviceList),
              ElementsAre("T4", "T3E", "TNOERASE", "T1LOCK", "T0LOCK"));
  EXPECT_EQ(view.ListSelection(Control::kDeviceList), 1);
  EXPECT_EQ(view.ListItemData(Control::kDeviceList, 2), 0u);
  EXPECT_EQ(runtime->device().device_name, "T3E") << "the selected device is loaded";

  // Boxes, then the file name, then the lists.
  const auto& log = view.log;
  const auto at = [&](const std::string& line) {
    return std::find(log.begin(), log.end(), line) - log.begin();
  };
  EXPECT_LT(at("uncheck 1010"), at("file blink.ihx"));
  EXPECT_LT(at("file blink.ihx"), at(view.LogLines(kManufList).front()));
  EXPECT_LT(at(view.LogLines(kManufList).front()), at(view.LogLines(kDeviceList).front()));

  EXPECT_FALSE(services_view.cancel_enabled);
  EXPECT_EQ(runtime->services().cancel_flag(), 0);
  EXPECT_TRUE(Messages().empty()) << ::testing::PrintToString(Messages());
}

TEST_F(DialogTest, NoAdapterAfterThreeAttemptsOpensThePreferencesTwiceThenDemo) {
  SetKey(hardware, "SearchHardware=3");
  SetKey(hardware, "SimFault=noadapter");
  SetKey(hardware, "TimeOut=10000");
  Start();

  EXPECT_EQ(view.preferences_runs, 2);
  EXPECT_TRUE(dialog->demo_mode());
  // Every failed attempt told its time-out; the last one the demo mode.
  EXPECT_THAT(Messages(),
              ElementsAre(kTimeoutMessage, kTimeoutMessage, kTimeoutMessage, kNoHardwareMessage));
  EXPECT_TRUE(dir.Exists("KORVALNK.INI"));
  EXPECT_NE(dir.Read("KORVALNK.INI").find("SearchHardware=3"), std::string::npos)
      << "the settings were written back on entering demo mode";
  // The rest of the start-up still runs.
  EXPECT_THAT(view.ListTexts(Control::kManufacturerList), ElementsAre("Testmaker", "Other"));
}

TEST_F(DialogTest, AnAdapterFoundAfterThePreferencesEndsTheSearch) {
  SetKey(hardware, "SearchHardware=3");
  SetKey(hardware, "TimeOut=10000");
  SetKey(hardware, "SimFault=noadapter");
  // The user "fixes the cable" in the preferences dialog.
  view.QueuePreferences(true, [this] { hw().adapter().ReconnectAdapter(); });
  Start();
  EXPECT_EQ(view.preferences_runs, 1);
  EXPECT_FALSE(dialog->demo_mode());
}

TEST_F(DialogTest, WithoutPortAccessTheSearchIsSkipped) {
  hardware = {"PortAdress=378"};
  Start();
  EXPECT_TRUE(dialog->demo_mode());
  EXPECT_EQ(view.preferences_runs, 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("Demomodus"), std::string::npos);
}

TEST_F(DialogTest, LockLevelsAreCumulative) {
  Start();
  // Checking Lock3 checks the two below it.
  view.checked[Control::kLock3Box] = true;
  dialog->OnLockClicked(3, true);
  EXPECT_EQ(settings().Lock1 + settings().Lock2 + settings().Lock3, 3);
  EXPECT_TRUE(view.IsChecked(Control::kLock1Box));
  EXPECT_TRUE(view.IsChecked(Control::kLock2Box));

  // Lower levels cannot be cleared while a higher one is set.
  view.checked[Control::kLock1Box] = false;
  dialog->OnLockClicked(1, false);
  EXPECT_EQ(settings().Lock1, 1);
  EXPECT_TRUE(view.IsChecked(Control::kLock1Box));
  view.checked[Control::kLock2Box] = false;
  dialog->OnLockClicked(2, false);
  EXPECT_EQ(settings().Lock2, 1);
  EXPECT_TRUE(view.IsChecked(Control::kLock2Box));

  // Clearing Lock3 leaves the others; then they clear from the top down.
  view.checked[Control::kLock3Box] = false;
  dialog->OnLockClicked(3, false);
  EXPECT_EQ(settings().Lock3, 0);
  EXPECT_EQ(settings().Lock2, 1);
  EXPECT_TRUE(view.IsChecked(Control::kLock1Box));
  dialog->OnLockClicked(2, false);
  EXPECT_EQ(settings().Lock2, 0);
  EXPECT_EQ(settings().Lock1, 1);
  dialog->OnLockClicked(1, false);
  EXPECT_EQ(settings().Lock1, 0);

  // Lock2 alone brings Lock1.
  dialog->OnLockClicked(2, true);
  EXPECT_EQ(settings().Lock1, 1);
  EXPECT_EQ(settings().Lock3, 0);
}

TEST_F(DialogTest, DeviceControlsFollowTheSelectedDevice) {
  SetKey(isp, "Lock1=1");
  SetKey(isp, "Lock2=1");
  StartWith(kNoEraseDevice);
  EXPECT_FALSE(view.IsControlEnabled(Control::kEraseButton)) << "erase wait 0";
  EXPECT_FALSE(view.IsControlEnabled(Control::kLock1Box));
  EXPECT_FALSE(view.IsControlEnabled(Control::kLock3Box));
  EXPECT_TRUE(view.IsChecked(Control::kLock1Box)) << "check states are kept";
  EXPECT_TRUE(view.IsChecked(Control::kLock2Box));

  view.selections[Control::kDeviceList] = kOneLockDevice;
  dialog->OnDeviceSelected(kOneLockDevice);
  EXPECT_EQ(settings().DeviceIndex, kOneLockDevice);
  EXPECT_EQ(runtime->device().device_name, "T1LOCK");
  EXPECT_TRUE(view.IsControlEnabled(Control::kEraseButton));
  EXPECT_TRUE(view.IsControlEnabled(Control::kLock1Box));
  EXPECT_FALSE(view.IsControlEnabled(Control::kLock2Box));
  EXPECT_FALSE(view.IsControlEnabled(Control::kLock3Box));
}

TEST_F(DialogTest, AManufacturerChangeRefillsTheDevicesWithoutLoadingOne) {
  StartWith(kEepromDevice);
  const std::string loaded = runtime->device().device_name;
  view.selections[Control::kManufacturerList] = 1;
  dialog->OnManufacturerSelected(1);
  EXPECT_EQ(settings().ManufIndex, 1);
  EXPECT_THAT(view.ListTexts(Control::kDeviceList), ElementsAre("O1"));
  EXPECT_EQ(settings().DeviceIndex, 0) << "beyond the shorter list: the first entry";
  EXPECT_EQ(view.ListSelection(Control::kDeviceList), 0);
  EXPECT_TRUE(view.IsControlEnabled(Control::kLock2Box)) << "O1 has two lock bits";
  EXPECT_FALSE(view.IsControlEnabled(Control::kLock3Box));
  dialog->OnManufacturerSelected(-1);  // typed text, no entry
  EXPECT_EQ(settings().ManufIndex, 1);
}

TEST_F(DialogTest, AFaultyRecordIsLeftOutAndTheListStillLoadsWhatItShows) {
  library.insert(library.begin() + 1, Device("BAD", "500000", "0", "0", "3", "4"));
  StartWith(1);
  EXPECT_THAT(view.ListTexts(Control::kDeviceList),
              ElementsAre("T4", "T3E", "TNOERASE", "T1LOCK", "T0LOCK"));
  EXPECT_FALSE(Messages().empty()) << "the faulty record was announced";
  EXPECT_EQ(runtime->device().device_name, "T3E");
  EXPECT_EQ(dialog->BlankCheckCommand(), kOperationOk);
  EXPECT_EQ(chip().kind.eeprom_size, 64u) << "the command worked on the device shown";
}

TEST_F(DialogTest, WindowPositionFollowsMovesButNotMaximisingOrMinimising) {
  view.rect = {0, 0, 420, 260};
  Start();
  dialog->OnMoved(100, 120);
  EXPECT_EQ(settings().XKoord, 100);
  EXPECT_EQ(settings().YKoord, 120);

  // Maximising moves the window to (0, 0) first; it goes back with its size.
  dialog->OnMoved(0, 0);
  view.log.clear();
  dialog->OnSizeChanged(SizeChange::kMaximized);
  EXPECT_EQ(settings().XKoord, 100);
  EXPECT_EQ(settings().YKoord, 120);
  EXPECT_THAT(view.log, ElementsAre("move 100,120 420x260"));

  // Minimising: the position from before the move into the icon stays.
  dialog->OnMoved(200, 220);
  dialog->OnMoved(-32000, -32000);
  view.log.clear();
  dialog->OnSizeChanged(SizeChange::kMinimized);
  EXPECT_EQ(settings().XKoord, 200);
  EXPECT_EQ(settings().YKoord, 220);
  EXPECT_TRUE(view.log.empty()) << "the window is not moved";

  dialog->OnSizeChanged(SizeChange::kRestored);
  EXPECT_EQ(settings().XKoord, 200);
}

TEST_F(DialogTest, ClosingSavesThePositionThenShowsTheEndMessage) {
  SetKey(isp, "EndMessage=1");
  Start();
  view.rect = {77, 88, 400, 300};
  std::string file_at_message;
  services_view.OnMessage(
      [&](const testing::RecordedMessage&) { file_at_message = dir.Read("KORVALNK.INI"); });
  EXPECT_TRUE(dialog->OnCloseRequest());
  EXPECT_THAT(Messages(), ElementsAre(kEndMessage));
  EXPECT_NE(file_at_message.find("X-Koord=77"), std::string::npos) << "saved before the message";
  EXPECT_NE(file_at_message.find("Y-Koord=88"), std::string::npos);
}

TEST_F(DialogTest, ClosingWithoutEndMessageIsSilent) {
  Start();
  EXPECT_TRUE(dialog->OnCancelKey()) << "the cancel key closes like the close box";
  EXPECT_TRUE(Messages().empty());
  EXPECT_NE(dir.Read("KORVALNK.INI").find("X-Koord=40"), std::string::npos);
}

TEST_F(DialogTest, ClosingIsRefusedWhileACommandRuns) {
  StartWith(kPlainDevice);
  view.rect = {99, 98, 400, 300};
  bool closed = true;
  bool escaped = true;
  services_view.OnPump(1, [&] {
    closed = dialog->OnCloseRequest();
    escaped = dialog->OnCancelKey();
  });
  dialog->BlankCheckCommand();
  EXPECT_FALSE(closed);
  EXPECT_FALSE(escaped);
  EXPECT_EQ(dir.Read("KORVALNK.INI").find("X-Koord=99"), std::string::npos) << "nothing saved";

  // Another copy running a command counts too.
  NamedLock other(locks.path(), kBusyWindowTitle);
  ASSERT_EQ(other.Acquire(), NamedLock::Result::kAcquired);
  EXPECT_FALSE(dialog->OnCloseRequest());
  other.Release();
  EXPECT_TRUE(dialog->OnCloseRequest());
  EXPECT_NE(dir.Read("KORVALNK.INI").find("X-Koord=99"), std::string::npos);
}

TEST_F(DialogTest, PreferencesReconfigureThePortLink) {
  Start();
  view.QueuePreferences(true, [this] {
    settings().TimeOut = 20000;
    settings().TimeBaseKorr = 90;
  });
  EXPECT_TRUE(dialog->EditPreferences());
  EXPECT_EQ(runtime->port_link().timeout(), 20000u);
  EXPECT_EQ(runtime->port_link().timebase_korr(), 90u);
  view.QueuePreferences(false);
  EXPECT_FALSE(dialog->EditPreferences());
  EXPECT_FALSE(dialog->demo_mode());
}

}  // namespace
}  // namespace zivivar
