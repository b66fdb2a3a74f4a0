#include "sim/simulated_hardware.h"

#include <gtest/gtest.h>

namespace zivivar::sim {
namespace {

TEST(SimulatedHardwareTest, FaultTextReachesAdapterAndChip) {
  SimulatedHardware hw(ChipKind{}, "");
  ASSERT_EQ(hw.ApplyFaultText("noadapter, loopback=0x10, nochip, stuck=0x10:0x01"), kFaultsOk);
  EXPECT_TRUE(hw.chip().faults().no_chip);
  EXPECT_EQ(hw.chip().state().code[0x10], 0xFE);  // the cell fault takes hold at once

  // A new text replaces the faults of the last one.
  ASSERT_EQ(hw.ApplyFaultText("lost-after=0"), kFaultsOk);
  EXPECT_FALSE(hw.adapter().present());
  EXPECT_EQ(hw.adapter().InputByte(), 0x00);
  EXPECT_FALSE(hw.chip().faults().no_chip);
  ASSERT_EQ(hw.ApplyFaultText(""), kFaultsOk);
  EXPECT_TRUE(hw.adapter().present());
}

}  // namespace
}  // namespace zivivar::sim
