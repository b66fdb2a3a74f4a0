#include "sim/at89s_target.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

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
  const auto reset = static_cast<uint32_t>(chip.timing().Ticks(chip.timing().reset_ns));
  isp.lines.rst = true;
  isp.Send({0xAC, 0x53, 0x00});
  EXPECT_TRUE(chip.Miso());  // not driven without supply (its limits: chip_waits_test)

  isp.PowerUp(reset);
  isp.WriteCode(0x10, 0x12);
  isp.Tick(500);
  EXPECT_EQ(isp.ReadCode(0x10), 0x00);  // no answer: MISO stays low
  EXPECT_EQ(isp.Enable(), kEnableAnswer);
  EXPECT_EQ(isp.ReadCode(0x10), 0xFF);
  isp.WriteCode(0x10, 0x12);
  isp.Tick(static_cast<uint32_t>(chip.timing().Ticks(chip.timing().byte_write_ns)));
  EXPECT_EQ(isp.ReadCode(0x10), 0x12);

  isp.Rst(false);  // the chip runs its program: programming mode ends
  EXPECT_TRUE(chip.Miso());
  isp.Rst(true);
  isp.Tick(reset - 30);
  chip.ClearIgnored();
  EXPECT_NE(isp.Enable(), kEnableAnswer);  // its first bits fell into the reset time
  EXPECT_EQ(IgnoredHint(chip.ignored()),
            "the chip ignored a clock edge: RST held 7,650 of 10,000 µs");
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

TEST(At89sTargetTest, Mode4FlashBitsAreOnlyCleared) {
  At89sTarget chip(kS52, ChipTiming{.byte_write_ns = 300 * 85'000, .erase_ns = 300 * 85'000});
  IspPins isp(chip);
  isp.StartEnabled();
  isp.WriteCode(0x0100, 0x5A);
  // Until the write is done a read answers the byte with bit 7 inverted.
  EXPECT_EQ(isp.ReadCode(0x0100), 0xDA);
  isp.Tick(300);
  isp.WriteCode(0x0201, 0x44);
  isp.Tick(300);
  isp.WriteCode(0x0201, 0xF3);  // flash bits are only cleared
  isp.Tick(300);
  EXPECT_EQ(isp.ReadCode(0x0201), 0x40);
  isp.Erase();
  EXPECT_EQ(isp.ReadCode(0x0201), 0x7F);
  isp.Tick(300);
  EXPECT_EQ(isp.ReadCode(0x0201), 0xFF);
}

TEST(At89sTargetTest, PageReadOnlyWhereTheKindHasOne) {
  for (const bool page_mode : {true, false}) {
    At89sTarget chip(kS52, ChipTiming{.page_read = page_mode});
    ChipState state = ErasedChip(kS52);
    for (uint32_t a = 0; a < kS52.code_size; ++a)
      state.code[a] = static_cast<uint8_t>(a * 7);
    chip.InsertChip(state);
    IspPins isp(chip);
    isp.StartEnabled();
    isp.Send({0x30, 0x13});
    std::vector<uint8_t> page(256);
    for (uint8_t& byte : page)
      byte = isp.Receive();
    if (page_mode) {
      EXPECT_TRUE(std::ranges::equal(page, std::span(state.code).subspan(0x1300, 256)));
      EXPECT_EQ(isp.ReadCode(0x0101), state.code[0x0101]);  // the page read has ended
      EXPECT_TRUE(chip.ignored().empty());
    } else {
      EXPECT_EQ(IgnoredHint(chip.ignored()), "the chip ignored a read: page read not supported");
    }
  }
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
  EXPECT_EQ(big_isp.ReadCode(0x3345), 0xFF);  // decoded, but beyond its 12 KB
  EXPECT_EQ(IgnoredHint(big.ignored()),
            "the chip ignored a read: address 0x3345 beyond the memory of 12,288 bytes");
}

}  // namespace
}  // namespace zivivar::sim
