#include "ui/runtime.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "sim/chip_state_file.h"

namespace zivivar {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class RuntimeTest : public DialogTest {
 protected:
  // Ends the run as the window would and starts a new one in the same place.
  void Restart(RuntimeOptions options) {
    ASSERT_TRUE(dialog->OnCloseRequest());
    dialog.reset();
    runtime.reset();
    services_view.Clear();
    options.settings_directory = dir.path();
    options.lock_directory = locks.path();
    options.port_access_system = &no_parport;
    runtime = std::make_unique<Runtime>(services_view, std::move(options));
    dialog = std::make_unique<MainDialog>(*runtime, view);
    dialog->Initialize();
  }
};

TEST_F(RuntimeTest, TheSimulatedChipKeepsItsContentsFromOneRunToTheNext) {
  StartWith(kPlainDevice);
  const std::vector<uint8_t> code = Pattern(64, 3);
  dir.Write("fw.hex", IntelHex(0, code));
  ChooseFile("fw.hex");
  ASSERT_EQ(dialog->ProgramCommand(), kCommandOk);
  ASSERT_TRUE(dir.Exists("chip.zvchip")) << "kept after the command, not only at the end";

  Restart({});
  EXPECT_EQ(settings().data_file_name, "fw.hex") << "the current file came back too";
  EXPECT_EQ(dialog->VerifyCommand(), kCommandOk);
  EXPECT_THAT(Messages(), ElementsAre("Keine Fehler beim Prüfen"));
}

TEST_F(RuntimeTest, CommandLineOptionsOverrideTheSettingsFile) {
  hardware = {"PortAdress=378"};  // no simulator in the file
  Start();
  ASSERT_TRUE(dialog->demo_mode());

  RuntimeOptions options;
  options.force_simulator = true;
  options.simulator_state_file = dir.File("other.state");
  options.manuf_index = 1;
  options.device_index = 0;
  options.adjust_settings = [](Settings& s) { s.Verify = 0; };
  Restart(std::move(options));
  EXPECT_FALSE(dialog->demo_mode());
  EXPECT_EQ(runtime->port_access_kind(), PortAccessKind::kSimulator);
  EXPECT_EQ(settings().ManufIndex, 1);
  EXPECT_EQ(settings().Verify, 0);
  EXPECT_EQ(runtime->device().device_name, "O1");
  EXPECT_EQ(dialog->BlankCheckCommand(), 0);
  EXPECT_TRUE(dir.Exists("other.state"));
  EXPECT_FALSE(dir.Exists("chip.zvchip"));
}

TEST_F(RuntimeTest, ACommandOnAnotherKindOfDeviceFindsThatChipInTheSocket) {
  StartWith(kPlainDevice);
  InsertChip(4, Pattern(256, 9));
  view.selections[Control::kDeviceList] = kEepromDevice;
  dialog->OnDeviceSelected(kEepromDevice);
  EXPECT_EQ(dialog->BlankCheckCommand(), kOperationOk);
  EXPECT_EQ(chip().kind.spi_mode, 3);
  EXPECT_EQ(chip().kind.eeprom_size, 64u);
}

TEST_F(RuntimeTest, BadSimulatorSettingsAreToldAndTheSimulatorStillRuns) {
  dir.Write("chip.zvchip", "not a chip");
  SetKey(hardware, "SimFault=stuck=nonsense");
  StartWith(kPlainDevice);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_THAT(Messages()[0], HasSubstr("'stuck=nonsense'"));
  EXPECT_THAT(Messages()[1], HasSubstr(dir.File("chip.zvchip")));
  EXPECT_THAT(Messages()[1], HasSubstr("keine Zustandsdatei"));
  EXPECT_FALSE(dialog->demo_mode());
  ClearRecords();
  EXPECT_EQ(dialog->BlankCheckCommand(), kOperationOk);
}

TEST_F(RuntimeTest, AStateFileThatCannotBeWrittenIsTold) {
  SetKey(hardware, "SimState=" + dir.path() + "missing-dir/chip.zvchip");
  StartWith(kPlainDevice);
  ClearRecords();
  EXPECT_EQ(dialog->BlankCheckCommand(), kOperationOk);
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_THAT(Messages()[1], HasSubstr("kann nicht geschrieben werden"));
}

}  // namespace
}  // namespace zivivar
