#include "sim/simulated_hardware.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zivivar::sim {
namespace {

TEST(SimulatedHardwareTest, FaultTextReachesAdapterAndChip) {
  SimulatedHardware hw(ChipKind{}, "");
  ASSERT_EQ(hw.ApplyFaultText("noadapter, loopback=0x10, nochip, stuck=0x10:0x01"), kFaultsOk);
  EXPECT_FALSE(hw.adapter().present());
  EXPECT_EQ(hw.adapter().InputByte(), 0x10);
  EXPECT_TRUE(hw.chip().faults().no_chip);
  EXPECT_EQ(hw.chip().state().code[0x10], 0xFE);  // the cell fault takes hold at once

  std::string bad;
  EXPECT_EQ(hw.ApplyFaultText("nochip,lost-after=x", &bad), kFaultsBadItem);
  EXPECT_EQ(bad, "lost-after=x");
  EXPECT_TRUE(hw.faults().no_adapter);
  // A new text replaces the faults of the last one.
  ASSERT_EQ(hw.ApplyFaultText("lost-after=0"), kFaultsOk);
  EXPECT_FALSE(hw.adapter().present());
  EXPECT_EQ(hw.adapter().InputByte(), 0x00);
  EXPECT_FALSE(hw.chip().faults().no_chip);
  ASSERT_EQ(hw.ApplyFaultText(""), kFaultsOk);
  EXPECT_TRUE(hw.adapter().present());
}

TEST(SimulatedHardwareTest, StateFileCarriesTheChipAcrossRuns) {
  testing::TempDir dir;
  const std::string path = dir.File("chip.zvchip");
  const ChipKind kind{3, 0x2000, 0x800};
  ChipState programmed = ErasedChip(kind);
  programmed.code[5] = 0x12;
  programmed.eeprom[7] = 0x34;
  programmed.lock_bits = kLockBit1;
  {
    SimulatedHardware first(kind, path);
    EXPECT_EQ(first.LoadState(), ChipStateResult::kNotFound);
    first.chip().InsertChip(programmed);
    ASSERT_EQ(first.SaveState(), ChipStateResult::kOk);
  }
  SimulatedHardware second(ChipKind{}, path);
  ASSERT_EQ(second.LoadState(), ChipStateResult::kOk);
  EXPECT_EQ(second.chip().state(), programmed);  // the saved chip, whatever kind was asked for

  // A file that is no chip state leaves the socket and the file as they were.
  dir.Write("chip.zvchip", "not a chip");
  SimulatedHardware third(ChipKind{}, path);
  EXPECT_NE(third.LoadState(), ChipStateResult::kOk);
  EXPECT_EQ(third.chip().state(), ErasedChip(ChipKind{}));
  EXPECT_EQ(dir.Read("chip.zvchip"), "not a chip");

  SimulatedHardware no_file(ChipKind{}, "");
  EXPECT_EQ(no_file.LoadState(), ChipStateResult::kNotFound);
  EXPECT_EQ(no_file.SaveState(), ChipStateResult::kOk);
}

}  // namespace
}  // namespace zivivar::sim
