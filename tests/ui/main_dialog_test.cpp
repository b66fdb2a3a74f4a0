#include "ui/main_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "programmer/device_operations.h"
#include "programmer/port_link.h"

namespace zivivar {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::SizeIs;

constexpr Control kLockBoxes[] = {Control::kLock1Box, Control::kLock2Box, Control::kLock3Box};

TEST_F(DialogTest, StartUpFillsTheListsWithoutFaultyRecordsAndWorksOnTheDeviceShown) {
  isp = {{"DeviceIndex", "1"}, {"LastFile", "blink.ihx"}};
  library.insert(library.begin() + 1, "BAD;DIP40;5000;4000;500000;0;0;0;0;0;0;0;0;3;4;Y");
  Start();
  EXPECT_FALSE(dialog->demo_mode());
  EXPECT_EQ(view.file_name_text, "blink.ihx");
  EXPECT_THAT(view.ListTexts(Control::kManufacturerList), ElementsAre("Testmaker", "Other"));
  EXPECT_THAT(view.ListTexts(Control::kDeviceList),
              ElementsAre("T4", "T3E", "TNOERASE", "T1LOCK", "T0LOCK"));
  EXPECT_EQ(view.ListSelection(Control::kDeviceList), 1);
  EXPECT_THAT(Messages(), SizeIs(1)) << "the faulty record was announced";
  EXPECT_EQ(dialog->BlankCheckCommand(), CommandResult::kOk);
  EXPECT_EQ(chip().kind.eeprom_size, 64u) << "the command worked on the device shown";
}

TEST_F(DialogTest, NoAdapterAfterThreeAttemptsOpensThePreferencesTwiceThenDemo) {
  hardware.insert({{"SearchHardware", "3"}, {"SimFault", "noadapter"}, {"TimeOut", "10000"}});
  Start();
  EXPECT_EQ(view.preferences_runs, 2);
  EXPECT_TRUE(dialog->demo_mode());
  // Every failed attempt told its time-out; the last one the demo mode.
  EXPECT_THAT(Messages(),
              ElementsAre(kTimeoutMessage, kTimeoutMessage, kTimeoutMessage, kNoHardwareMessage));
  EXPECT_THAT(dir.Read("KORVALNK.INI"), HasSubstr("SearchHardware=3"))
      << "the settings were written back on entering demo mode";
  EXPECT_THAT(view.ListTexts(Control::kManufacturerList), SizeIs(2)) << "the start-up goes on";
}

TEST_F(DialogTest, LockLevelsAreCumulative) {
  Start();
  // Level clicked, the state the box toggled itself to, then Lock1 to Lock3
  // afterwards, in the settings and the boxes.
  const int steps[][5] = {
      {3, 1, 1, 1, 1},                   // checking a level checks those below it
      {1, 0, 1, 1, 1},                   // a level cannot be cleared while a higher one is set
      {2, 0, 1, 1, 1}, {3, 0, 1, 1, 0},  // the top one can, then the others from the top down
      {2, 0, 1, 0, 0}, {1, 0, 0, 0, 0}, {2, 1, 1, 1, 0}, {1, 0, 1, 1, 0},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(::testing::Message() << "level " << step[0] << " to " << step[1]);
    view.checked[kLockBoxes[step[0] - 1]] = step[1] == 1;
    dialog->OnLockClicked(step[0], step[1] == 1);
    const int now[] = {settings().Lock1, settings().Lock2, settings().Lock3};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(now[i], step[2 + i]) << "Lock" << i + 1;
      EXPECT_EQ(view.IsChecked(kLockBoxes[i]), step[2 + i] == 1) << "box " << i + 1;
    }
  }
}

TEST_F(DialogTest, DeviceControlsFollowEraseWaitAndLockCountOfTheSelectedDevice) {
  isp["Lock2"] = "1";
  Start();
  // Manufacturer, device, then "Löschen" and the number of lock-bit boxes on.
  const int cases[][4] = {{0, kNoEraseDevice, 0, 0},
                          {0, kOneLockDevice, 1, 1},
                          {0, kPlainDevice, 1, 3},
                          {0, kNoLockDevice, 1, 0},
                          {1, 0, 1, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c[0] << "/" << c[1]);
    if (c[0] == 0) {
      view.selections[Control::kDeviceList] = c[1];
      dialog->OnDeviceSelected(c[1]);
    } else {
      // The list is refilled; the device index is beyond it and falls back to its first entry.
      view.selections[Control::kManufacturerList] = c[0];
      dialog->OnManufacturerSelected(c[0]);
      EXPECT_THAT(view.ListTexts(Control::kDeviceList), ElementsAre("O1"));
    }
    EXPECT_EQ(settings().ManufIndex, c[0]);
    EXPECT_EQ(settings().DeviceIndex, c[1]);
    EXPECT_EQ(view.IsControlEnabled(Control::kEraseButton), c[2] == 1);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(view.IsControlEnabled(kLockBoxes[i]), i < c[3]) << "box " << i + 1;
    EXPECT_TRUE(view.IsChecked(Control::kLock2Box)) << "check states are kept";
  }
}

TEST_F(DialogTest, ClosingSavesThePositionThenShowsTheEndMessageWhenWanted) {
  std::string file_at_message;
  services_view.OnMessage([&](auto&) { file_at_message = dir.Read("KORVALNK.INI"); });
  // The close box without the end message, Escape with it: both close alike.
  for (const bool end_message : {false, true}) {
    SCOPED_TRACE(end_message);
    isp["EndMessage"] = end_message ? "1" : "0";
    Start();
    services_view.Clear();
    view.rect = {77, 88, 400, 300};
    EXPECT_TRUE(end_message ? dialog->OnCancelKey() : dialog->OnCloseRequest());
    EXPECT_THAT(dir.Read("KORVALNK.INI"), AllOf(HasSubstr("X-Koord=77"), HasSubstr("Y-Koord=88")));
    EXPECT_EQ(Messages(),
              end_message ? std::vector<std::string>{kEndMessage} : std::vector<std::string>{});
  }
  EXPECT_THAT(file_at_message, HasSubstr("X-Koord=77")) << "saved before the message";
}

TEST_F(DialogTest, BadSimulatorSettingsAreToldAndTheSimulatorStillRuns) {
  dir.Write("chip.zvchip", "not a chip");
  hardware["SimFault"] = "stuck=nonsense";
  StartWith(kPlainDevice);
  EXPECT_THAT(Messages(),
              ElementsAre(HasSubstr("'stuck=nonsense'"), AllOf(HasSubstr(dir.File("chip.zvchip")),
                                                               HasSubstr("keine Zustandsdatei"))));
  EXPECT_FALSE(dialog->demo_mode());
}

}  // namespace
}  // namespace zivivar
