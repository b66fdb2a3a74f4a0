// The commands on the simulated adapter and chip, without a window: the
// arguments decide what is loaded, programmed, verified, locked and saved.
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
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using Bytes = std::vector<uint8_t>;

// A mode-3 device with 256 bytes of code and 64 of EEPROM, as the library
// gives it at TimeBaseKorr 85.
DeviceDescriptor EepromDevice() {
  DeviceDescriptor device;
  device.device_name = "T3E";
  device.pin_count = 40;
  device.programming_voltage = 5000;
  device.supply_code = 100;
  device.write_wait = 47;
  device.erase_wait = 5882;
  device.code_size = 256;
  device.eeprom_size = 64;
  device.lock_bit_count = 3;
  device.spi_mode = 3;
  return device;
}

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
  void InsertChip(const Bytes& code_bytes, const Bytes& eeprom_bytes) {
    sim::ChipState state = sim::ErasedChip({3, 256, 64});
    state.code = code_bytes;
    state.eeprom = eeprom_bytes;
    hw.chip().InsertChip(state);
  }
  const sim::ChipState& chip() { return hw.chip().state(); }
  std::vector<std::string> Messages() const { return view.Texts(); }

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
  DeviceDescriptor device = EepromDevice();
  const Bytes code = Pattern(256, 0x11);
  const Bytes eeprom = Pattern(64, 0x40);
};

TEST_F(CommandsTest, ProgramTakesVerifyAndLockBitsFromItsArguments) {
  const std::string fw = Write("fw.bin", code);
  const std::string ee = Write("fw.eep", eeprom);
  FileCommandResult done = Program(context, device, {fw, ee, false, {}, {}});
  EXPECT_EQ(done.result, CommandResult::kOk);
  EXPECT_EQ(done.data_format, kFormatBinary);
  EXPECT_EQ(chip().code, code);
  EXPECT_EQ(chip().eeprom, eeprom);
  EXPECT_THAT(view.statuses, Not(Contains(HasSubstr("prüfen"))));
  EXPECT_THAT(Messages(), ElementsAre(kProgramOkMessage));
  EXPECT_EQ(kept, 1) << "the chip is kept before the message";

  view.Clear();
  done = Program(context, device, {fw, ee, true, {1, 1, 0}, {}});
  EXPECT_EQ(done.result, CommandResult::kOk);
  EXPECT_THAT(view.statuses, Contains(HasSubstr("EEpromspeicher prüfen")));
  EXPECT_THAT(Messages(), ElementsAre(kProgramLockedMessage));
  EXPECT_EQ(chip().lock_bits, sim::kLockBit1 | sim::kLockBit2);

  // Without an EEPROM file the EEPROM is left alone.
  InsertChip(Bytes(256, 0xFF), Bytes(64, 0xFF));
  EXPECT_EQ(Program(context, device, {fw, std::nullopt, true, {}, {}}).result, CommandResult::kOk);
  EXPECT_EQ(chip().eeprom, Bytes(64, 0xFF));
}

TEST_F(CommandsTest, TheEepromRunsWhateverBecameOfTheCodeMemory) {
  const std::string fw = Write("fw.bin", code);
  // Without its companion file: the code memory is programmed, but there is
  // no success and no lock bit.
  EXPECT_EQ(Program(context, device, {fw, dir.File("fw.eep"), true, {1, 0, 0}, {}}).result,
            CommandResult::kFileNotLoaded);
  EXPECT_EQ(chip().code, code);
  EXPECT_THAT(Messages(), Not(Contains(StartsWith("Keine Fehler"))));
  EXPECT_EQ(chip().lock_bits, 0);

  // Cancelled while the code memory is checked, the EEPROM stops after one
  // byte: the chip's EEPROM differs from the file from address 1 on.
  const std::string ee = Write("fw.eep", eeprom);
  Bytes chip_eeprom(64, 0x00);
  chip_eeprom[0] = eeprom[0];
  InsertChip(code, chip_eeprom);
  view.Clear();
  view.OnPump(2, [&] { services.RequestCancel(); });
  EXPECT_EQ(Verify(context, device, {fw, ee, {}}).result, CommandResult::kVerifyNotPassed);
  EXPECT_THAT(Messages(), ElementsAre(kVerifyCancelledMessage, kVerifyCancelledMessage));
  EXPECT_THAT(view.statuses, Contains(HasSubstr("EEpromspeicher prüfen")));
  FinishCommand(services);
  EXPECT_FALSE(services.CancelRequested());
}

TEST_F(CommandsTest, ALostAdapterEndsEveryCommandAsLostWithOneMessage) {
  const std::string fw = Write("fw.bin", code);
  const std::function<CommandResult()> commands[] = {
      [&] {
        return Program(context, device, {fw, std::nullopt, true, {}, {}}).result;
      },
      [&] {
        return Verify(context, device, {fw, std::nullopt, {}}).result;
      },
      [&] { return BlankCheck(context, device); },
      [&] {
        return ReadOut(context, device, {dir.File("out.hex"), std::nullopt, 2, {}});
      },
  };
  for (const auto& command : commands) {
    hw.adapter().LoseAfter(300);
    EXPECT_EQ(command(), CommandResult::kAdapterLost);
    EXPECT_THAT(Messages(), ElementsAre(kTimeoutMessage));
    hw.adapter().ReconnectAdapter();
    view.Clear();
  }
  EXPECT_EQ(kept, 1) << "only the program changed the chip";
  EXPECT_FALSE(dir.Exists("out.hex"));
  EXPECT_EQ(Program(context, device, {fw, std::nullopt, true, {}, {}}).result, CommandResult::kOk);
}

TEST_F(CommandsTest, WhatIsReadOutProgramsTheNextChip) {
  InsertChip(code, eeprom);
  ASSERT_EQ(ReadOut(context, device, {dir.File("copy.hex"), dir.File("copy.eep"), 3, {}}),
            CommandResult::kOk);
  EXPECT_THAT(Messages(), ElementsAre(kReadOutSavedMessage));
  EXPECT_THAT(dir.Read("copy.eep"), StartsWith(":")) << "the EEPROM, in the same format";

  InsertChip(Bytes(256, 0xFF), Bytes(64, 0xFF));
  const FileCommandResult done =
      Program(context, device, {dir.File("copy.hex"), dir.File("copy.eep"), true, {}, {}});
  EXPECT_EQ(done.result, CommandResult::kOk);
  EXPECT_EQ(done.data_format, kFormatIntel32);
  EXPECT_EQ(chip().code, code);
  EXPECT_EQ(chip().eeprom, eeprom);
}

}  // namespace
}  // namespace zivivar
