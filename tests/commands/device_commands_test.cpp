// The commands on the simulated adapter and chip, without a window: the
// EEPROM runs after the code memory whatever became of it, the cancel flag
// reaches it, and only a command that changed the chip keeps it.
#include "commands/device_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "programmer/device_operations.h"
#include "sim/simulated_hardware.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using ::testing::StartsWith;
using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t count, uint8_t seed) {
  Bytes bytes(count);
  for (size_t i = 0; i < count; ++i)
    bytes[i] = static_cast<uint8_t>(seed + i * 7);
  return bytes;
}

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() { link.Configure(0x378, 100000, 85); }

  std::string Write(const std::string& name, const Bytes& bytes) {
    dir.Write(name, std::string(bytes.begin(), bytes.end()));
    return dir.File(name);
  }
  const sim::ChipState& chip() { return hw.chip().state(); }

  testing::TempDir dir;
  testing::ScriptedServicesView view;
  int beep = 0;
  Services services{view, beep};
  sim::SimulatedHardware hw{{3, 256, 64}, ""};
  PortLink link{hw.port(), services};
  ImageBuffer image;
  int kept = 0;
  CommandContext context{link,
                         services,
                         image,
                         0,
                         [this] {
                           ++kept;
                           return CommandResult::kOk;
                         },
                         {}};
  // Mode 3, 256 bytes of code and 64 of EEPROM, as the library gives it at TimeBaseKorr 85.
  const DeviceDescriptor device{"T3E", 40, 5000, 100, 47, 5882, 256, 64, 3, 3};
  const Bytes code = Pattern(256, 0x11);
  const Bytes eeprom = Pattern(64, 0x40);
};

TEST_F(CommandsTest, TheEepromRunsWhateverBecameOfTheCodeMemory) {
  const std::string fw = Write("fw.bin", code);
  // Without its companion file: the code memory is programmed, but there is
  // no success and no lock bit.
  EXPECT_EQ(Program(context, device, {fw, dir.File("fw.eep"), true, {1, 0, 0}, {}}).result,
            CommandResult::kFileNotLoaded);
  EXPECT_EQ(chip().code, code);
  EXPECT_THAT(view.Texts(), Not(Contains(StartsWith("Keine Fehler"))));
  EXPECT_EQ(chip().lock_bits, 0);
  EXPECT_EQ(kept, 1) << "a failed program changed the chip too";

  // Cancelled while the code memory is checked, the EEPROM stops after one
  // byte: the chip's EEPROM differs from the file from address 1 on.
  const std::string ee = Write("fw.eep", eeprom);
  sim::ChipState state = sim::ErasedChip({3, 256, 64});
  state.code = code;
  state.eeprom = Bytes(64, 0x00);
  state.eeprom[0] = eeprom[0];
  hw.chip().InsertChip(state);
  view.Clear();
  view.OnPump(2, [&] { services.RequestCancel(); });
  EXPECT_EQ(Verify(context, device, {fw, ee, {}}).result, CommandResult::kVerifyNotPassed);
  EXPECT_THAT(view.Texts(), ElementsAre(kVerifyCancelledMessage, kVerifyCancelledMessage));
  EXPECT_EQ(kept, 1) << "a verify leaves the chip as it was";
  FinishCommand(services);
  EXPECT_FALSE(services.CancelRequested());
}

}  // namespace
}  // namespace zivivar
