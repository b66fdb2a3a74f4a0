#include "sim/at89s_target.h"

#include <gtest/gtest.h>

#include "isp_pins.h"

namespace zivivar::sim {
namespace {

using testing::IspPins;
using testing::Sample;

constexpr ChipKind kS52{4, 0x2000, 0};
constexpr ChipKind kS8252{3, 0x2000, 0x800};

TEST(At89sTargetTest, ListensOnlyWithSupplyResetAndProgrammingEnable) {
  At89sTarget chip(kS52);
  IspPins isp(chip);
  const uint32_t reset = chip.timing().reset_ticks;
  isp.lines.rst = true;
  isp.Send({0xAC, 0x53, 0x00});
  EXPECT_TRUE(chip.Miso());                                 // not driven without supply
  for (const uint8_t code : {uint8_t{40}, uint8_t{200}}) {  // 2.0 V, 10 V
    isp.Supply(true, code);
    isp.Tick(reset);
    EXPECT_EQ(isp.Enable(), 0xFF) << int{code};
    isp.Supply(false);
  }

  isp.PowerUp(reset);
  isp.WriteCode(0x10, 0x12);
  isp.Tick(500);
  EXPECT_EQ(isp.ReadCode(0x10), 0x00);  // no answer: MISO stays low
  EXPECT_EQ(chip.last_ignored(), "before programming enable");
  EXPECT_EQ(isp.Enable(), kEnableAnswer);
  EXPECT_EQ(isp.ReadCode(0x10), 0xFF);
  isp.WriteCode(0x10, 0x12);
  isp.Tick(chip.timing().write_ticks);
  EXPECT_EQ(isp.ReadCode(0x10), 0x12);

  isp.Rst(false);  // the chip runs its program: programming mode ends
  EXPECT_TRUE(chip.Miso());
  isp.Rst(true);
  isp.Tick(reset - 30);
  EXPECT_NE(isp.Enable(), kEnableAnswer);  // its first bits fell into the reset time
  EXPECT_NE(isp.Enable(), kEnableAnswer);  // and every later byte is out of step
  EXPECT_FALSE(chip.programming_enabled());
  isp.Rst(false);  // a reset pulse restarts the count of bits
  isp.Rst(true);
  isp.Tick(reset);
  EXPECT_EQ(isp.Enable(), kEnableAnswer);

  // Losing the supply aborts a write and programming mode.
  isp.WriteCode(0x20, 0x00);
  ASSERT_TRUE(chip.busy());
  isp.Supply(false);
  isp.PowerUp(reset);
  EXPECT_FALSE(chip.busy() || chip.programming_enabled());
  EXPECT_EQ(chip.state().code[0x20], 0xFF);
}

TEST(At89sTargetTest, Mode4WriteAndEraseTimingAndFlashBits) {
  At89sTarget chip(kS52, ChipTiming{.write_ticks = 300});
  IspPins isp(chip);
  isp.StartEnabled();
  isp.WriteCode(0x0100, 0x5A);
  isp.WriteCode(0x0101, 0x11);  // no wait: the chip is still busy
  EXPECT_EQ(chip.last_ignored(), "while busy");
  isp.Tick(300);
  // The read-back after w wait pulses comes 2w + 120 ticks after the write;
  // until then it answers the byte with bit 7 inverted.
  isp.WriteCode(0x0200, 0x33);
  isp.Pulses(89);
  EXPECT_EQ(isp.ReadCode(0x0200), 0xB3);
  isp.Tick(300);
  isp.WriteCode(0x0201, 0x44);
  isp.Pulses(90);
  EXPECT_EQ(isp.ReadCode(0x0201), 0x44);
  isp.WriteCode(0x0201, 0xF3);  // flash bits are only cleared
  isp.Tick(300);
  EXPECT_EQ(isp.ReadCode(0x0201), 0x40);

  // After e erase pulses the next read is served 2e + 120 ticks later.
  isp.Erase();
  isp.Pulses(439);
  EXPECT_EQ(isp.ReadCode(0x0201), 0x7F);
  isp.Pulses(1);
  EXPECT_EQ(isp.ReadCode(0x0201), 0xFF);
}

// Built here from the address bits up, so that the decoding is checked
// rather than restated.
TEST(At89sTargetTest, Mode3AddressesCodeAndEepromThroughTheFirstByte) {
  At89sTarget chip(kS8252);
  IspPins isp(chip);
  isp.StartEnabled();
  EXPECT_EQ(isp.WritePolled(0x1345, 0x11, 10).second, 0x11);
  EXPECT_EQ(isp.WritePolled(0x0045, 0x33, 10, /*eeprom=*/true).second, 0x33);
  EXPECT_EQ(chip.state().code[0x1345], 0x11);
  EXPECT_EQ(chip.state().eeprom[0x045], 0x33);
  EXPECT_EQ(chip.state().code[0x0045], 0xFF);
  EXPECT_EQ(isp.ReadData(0x0845), 0x33);  // 2 KB of EEPROM repeat
  // Mode 3 moves MISO on the rising edge: a bit taken while SCK is high is
  // already the next one.
  EXPECT_EQ(isp.ReadCode(0x1345, Sample::kWhileHigh), 0x22);

  // Without an EEPROM, bit 2 of the first byte is address bit 13.
  At89sTarget big(ChipKind{3, 0x3000, 0});
  IspPins big_isp(big);
  big_isp.StartEnabled();
  EXPECT_EQ(big_isp.WritePolled(0x2345, 0x22, 10).second, 0x22);
  EXPECT_EQ(big.state().code[0x2345], 0x22);
  EXPECT_EQ(big.state().code[0x0345], 0xFF);
}

}  // namespace
}  // namespace zivivar::sim
