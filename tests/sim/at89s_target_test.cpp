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

TEST(At89sTargetTest, Mode3MisoMovesOnTheRisingEdge) {
  for (const ChipKind& kind : {kS52, kS8252}) {
    At89sTarget chip(kind);
    IspPins isp(chip);
    isp.StartEnabled();
    isp.WriteCode(0x123, 0xA5);
    isp.Tick(1000);
    EXPECT_EQ(isp.ReadCode(0x123), 0xA5) << int{kind.spi_mode};
  }
  // A bit taken while SCK is high is already the next one.
  At89sTarget chip(kS8252);
  IspPins isp(chip);
  isp.StartEnabled();
  isp.WriteCode(0x123, 0xA5);
  isp.Tick(1000);
  EXPECT_EQ(isp.ReadCode(0x123, Sample::kWhileHigh), 0x4A);
}

TEST(At89sTargetTest, Mode4WriteAndEraseTimingAndFlashBits) {
  At89sTarget chip(kS52, ChipTiming{.write_ticks = 300});
  IspPins isp(chip);
  isp.StartEnabled();
  isp.WriteCode(0x0123, 0x5A);
  isp.WriteCode(0x0124, 0x11);  // no wait: the chip is still busy
  EXPECT_EQ(chip.last_ignored(), "while busy");
  isp.Tick(300);
  EXPECT_EQ(isp.ReadCode(0x0123), 0x5A);
  EXPECT_EQ(isp.ReadCode(0x0124), 0xFF);

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
  isp.Erase();  // ignored while busy, so it does not start over
  isp.Tick(1000);
  EXPECT_EQ(isp.ReadCode(0x0201), 0xFF);
  isp.WriteCode(0x0201, 0x00);
  isp.Tick(300);
  isp.Erase();
  isp.Pulses(440);
  EXPECT_EQ(isp.ReadCode(0x0201), 0xFF);
}

// Each level programs its own bit only, so they are taken out of order here.
TEST(At89sTargetTest, Mode4LockLevelsShowInTheLockByteAndGuardTheCode) {
  At89sTarget chip(kS52);
  IspPins isp(chip);
  isp.StartEnabled();
  isp.WriteCode(0, 0x02);
  isp.Tick(200);
  const std::pair<int, uint8_t> levels[] = {{0, 0x00}, {1, 0x04}, {3, 0x14}, {2, 0x1C}};
  for (const auto& [level, expected] : levels) {
    isp.Send({0xAC, static_cast<uint8_t>(0xE0 + level), 0x00, 0x00});
    isp.Tick(200);
    isp.Send({0x24, 0x00, 0x00});
    EXPECT_EQ(isp.Receive(Sample::kWhileHigh), expected) << level;
    if (level == 1) {
      EXPECT_EQ(isp.ReadCode(0), 0x02);  // readable, no longer writable
      isp.WriteCode(1, 0x00);
      EXPECT_EQ(chip.last_ignored(), "code memory locked");
    }
  }
  EXPECT_EQ(isp.ReadCode(0), kLockedReadValue);
}

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
}

TEST(At89sTargetTest, Mode3WriteErasesTheByteAndIsPolled) {
  At89sTarget chip(kS8252, ChipTiming{.write_ticks = 300});
  IspPins isp(chip);
  isp.StartEnabled();
  // Polls come 82 + 130k ticks after the write: the third one sees the data.
  EXPECT_EQ(isp.WritePolled(0x100, 0x0F, 10), std::make_pair(3, uint8_t{0x0F}));
  EXPECT_EQ(isp.WritePolled(0x100, 0xF0, 2), std::make_pair(2, uint8_t{0x70}));
  isp.Tick(300);
  EXPECT_EQ(isp.ReadCode(0x100), 0xF0);

  isp.Send({0xAC, 0x67, 0x00});  // lock bit 1 guards the code, not the EEPROM
  isp.Tick(300);
  EXPECT_EQ(isp.WritePolled(0x100, 0x00, 3).second, 0xF0);
  EXPECT_EQ(isp.WritePolled(0x100, 0x77, 10, /*eeprom=*/true).second, 0x77);
}

TEST(At89sTargetTest, StuckBitsInCellsReadsAndWrites) {
  At89sTarget chip(kS8252);
  chip.SetFaults({.stuck = {{false, 0x10, 0x01, 0x00, StuckScope::kCell},
                            {false, 0x20, 0x80, 0x80, StuckScope::kRead},
                            {true, 0x30, 0x0F, 0x05, StuckScope::kWrite}}});
  IspPins isp(chip);
  isp.StartEnabled();
  EXPECT_EQ(isp.ReadCode(0x10), 0xFE);  // not even erased
  EXPECT_EQ(isp.WritePolled(0x20, 0x12, 3).second, 0x92);
  EXPECT_EQ(chip.state().code[0x20], 0x12);  // the cell is right
  EXPECT_EQ(isp.ReadData(0x30), 0xFF);
  EXPECT_EQ(isp.WritePolled(0x30, 0xA0, 3, /*eeprom=*/true).second, 0xA5);
  EXPECT_EQ(isp.ReadCode(0x30), 0xFF);  // the code byte at the same address is fine
}

TEST(At89sTargetTest, WriteThatNeverFinishesKeepsPollingUntilAPowerCycle) {
  At89sTarget chip(kS8252);
  chip.SetFaults({.never_finish = true, .stuck = {}});
  IspPins isp(chip);
  isp.StartEnabled();
  EXPECT_EQ(isp.WritePolled(0x10, 0x42, 50), std::make_pair(50, uint8_t{0xC2}));
  isp.Supply(false);  // only a power cycle ends it, without the byte
  EXPECT_EQ(chip.state().code[0x10], 0xFF);
}

}  // namespace
}  // namespace zivivar::sim
