// The serial protocol against the simulated adapter and chip: what the chip
// obeyed and holds afterwards, not the register writes.
#include "programmer/spi_protocol.h"

#include <gtest/gtest.h>

#include "sim/simulated_hardware.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

class SpiProtocolTest : public ::testing::TestWithParam<uint8_t> {
 protected:
  bool mode3() const { return GetParam() == kSpiMode3; }
  // Instructions the chip took during run, obeyed or not (a poll of a busy chip).
  template <class Run>
  uint64_t Obeyed(Run run) {
    auto taken = [this] {
      return hw_.chip().instructions_obeyed() + hw_.chip().instructions_ignored();
    };
    const uint64_t before = taken();
    run();
    return taken() - before;
  }

  sim::SimulatedHardware hw_{{GetParam(), 0x2000, mode3() ? 0x800u : 0u}, ""};
  testing::ScriptedServicesView view_;
  int beap_ = 0;
  Services services_{view_, beap_};
  PortLink link_{hw_.port(), services_};
  DeviceDescriptor device_{
      .device_name = "", .supply_code = 100, .write_wait = 3, .spi_mode = GetParam()};
  SpiProtocol spi_{link_, services_, device_};
};
INSTANTIATE_TEST_SUITE_P(BothModes, SpiProtocolTest, ::testing::Values(kSpiMode3, kSpiMode4));

TEST_P(SpiProtocolTest, LockBitsProgramWhatWasChosen) {
  struct Case {
    LockOptions locks;
    // Mode 3: each option includes those below it; mode 4 stops at the
    // first level not chosen.
    uint8_t mode3_bits, mode4_bits;
  };
  constexpr uint8_t kBits12 = sim::kLockBit1 | sim::kLockBit2;
  const Case cases[] = {{{1, 0, 0}, sim::kLockBit1, sim::kLockBit1},
                        {{0, 1, 0}, kBits12, 0},
                        {{0, 0, 1}, sim::kLockBitsMask, 0},
                        {{1, 0, 1}, sim::kLockBitsMask, sim::kLockBit1},
                        {{1, 1, 0}, kBits12, kBits12},
                        {{1, 1, 1}, sim::kLockBitsMask, sim::kLockBitsMask}};
  for (const Case& c : cases) {
    hw_.InsertErasedChip(hw_.chip().kind());
    spi_.EnterProgrammingMode();
    spi_.SPIWriteLockBits(c.locks);
    spi_.LeaveProgrammingMode();
    EXPECT_EQ(hw_.chip().state().lock_bits, mode3() ? c.mode3_bits : c.mode4_bits)
        << c.locks.lock1 << c.locks.lock2 << c.locks.lock3;
  }
  EXPECT_TRUE(view_.Texts().empty());
  EXPECT_EQ(hw_.adapter().errors(), 0) << hw_.adapter().last_error();
}

class SpiMode3Test : public SpiProtocolTest {};
INSTANTIATE_TEST_SUITE_P(Mode3, SpiMode3Test, ::testing::Values(kSpiMode3));

TEST_P(SpiMode3Test, PollsAWriteAtMostWriteWaitTimesAndSyncsInUpToThreePasses) {
  hw_.chip().SetFaults({.never_finish = true, .stuck = {}});
  for (const uint32_t wait : {3u, 1u, 0u}) {  // polls at least once
    device_.write_wait = wait;
    spi_.EnterProgrammingMode();
    uint8_t read = 0;
    EXPECT_EQ(Obeyed([&] { read = spi_.SPIWriteDataByte(0x10, 0x12); }), 1 + (wait ? wait : 1));
    EXPECT_EQ(read, 0x92) << wait;  // the polling value: bit 7 inverted
    spi_.LeaveProgrammingMode();
  }

  // The sync reads code bytes 0 and 1: a blank byte 1 makes another pass,
  // and both blank a reset pulse and a new programming enable first.
  hw_.chip().SetFaults({});
  const struct {
    uint8_t byte0, byte1;
    uint64_t obeyed;  // enables and reads
  } cases[] = {{0x02, 0x00, 1 + 2}, {0x02, 0xFF, 1 + 3 * 2}, {0xFF, 0xFF, 1 + 3 * (2 + 1)}};
  for (const auto& c : cases) {
    sim::ChipState chip = sim::ErasedChip(hw_.chip().kind());
    chip.code[0] = c.byte0;
    chip.code[1] = c.byte1;
    hw_.chip().InsertChip(chip);
    EXPECT_EQ(Obeyed([&] { spi_.EnterProgrammingMode(); }), c.obeyed) << int{c.byte0};
    EXPECT_TRUE(hw_.chip().programming_enabled());
    spi_.LeaveProgrammingMode();
  }
  EXPECT_TRUE(view_.Texts().empty());
  EXPECT_EQ(hw_.adapter().errors(), 0) << hw_.adapter().last_error();
}

}  // namespace
}  // namespace zivivar
