#include "cli/port_tap.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "programmer/port_link.h"
#include "sim/sim_adapter.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using Write = std::pair<int, uint8_t>;

class PortTapTest : public ::testing::Test {
 protected:
  PortTapTest() : tap_(adapter_, 0x378), services_(view_, beap_), link_(tap_, services_) {
    link_.Configure(0x378, 1000, 85);
    tap_.OnRegisterWrite([this](int reg, uint8_t value) { writes_.emplace_back(reg, value); });
    tap_.OnInputByte([this](uint8_t reg10, uint8_t input) { inputs_.emplace_back(reg10, input); });
  }

  sim::SimAdapter adapter_{0x378};
  PortTap tap_;
  testing::ScriptedServicesView view_;
  int beap_ = 0;
  Services services_;
  PortLink link_;
  std::vector<Write> writes_;
  std::vector<std::pair<uint8_t, uint8_t>> inputs_;
};

TEST_F(PortTapTest, SeesTheWritesTheAdapterLatched) {
  link_.WriteRegister(10, 0x2A);
  link_.WriteRegister(6, 0x00);
  link_.WriteRegister(14, 0x80);
  EXPECT_EQ(writes_, (std::vector<Write>{{10, 0x2A}, {6, 0x00}, {14, 0x80}}));
  EXPECT_EQ(tap_.register_writes(), adapter_.register_writes());
  EXPECT_EQ(adapter_.reg(10), 0x2A);
}

TEST_F(PortTapTest, PairsRegisterFourAndEightIntoInputBytes) {
  link_.WriteRegister(10, 0xA5);
  EXPECT_EQ(link_.ReadInputByte(), 0xA5);
  // Register 8 alone, or 4 followed by another register, is no input byte.
  link_.WriteRegister(8, 0);
  link_.WriteRegister(4, 0);
  link_.WriteRegister(10, 0x5A);
  EXPECT_EQ(link_.ReadInputByte(), 0x5A);
  EXPECT_EQ(inputs_, (std::vector<std::pair<uint8_t, uint8_t>>{{0xA5, 0xA5}, {0x5A, 0x5A}}));
}

TEST_F(PortTapTest, ShowsAFaultyLoopBackAsTheAdapterAnswersIt) {
  adapter_.set_loopback_error(0x0F);
  EXPECT_EQ(link_.DetectAdapter(), kAdapterNotFound);
  ASSERT_EQ(inputs_.size(), 1u);
  EXPECT_EQ(inputs_[0], std::make_pair(uint8_t{0x00}, uint8_t{0x0F}));
}

TEST_F(PortTapTest, AWriteThatTimesOutIsNotSeen) {
  adapter_.RemoveAdapter();
  EXPECT_EQ(link_.WriteRegister(10, 0x11), kHandshakeTimeout);
  // The next attempt starts with a rising strobe, which is no write either.
  EXPECT_EQ(link_.DetectAdapter(), kAdapterNotFound);
  EXPECT_TRUE(writes_.empty());
  EXPECT_EQ(tap_.register_writes(), 0u);
}

TEST_F(PortTapTest, AWholeDetectionIsSeenWriteForWrite) {
  EXPECT_EQ(link_.DetectAdapter(), kLinkOk);
  EXPECT_EQ(tap_.register_writes(), adapter_.register_writes());
  EXPECT_EQ(inputs_,
            (std::vector<std::pair<uint8_t, uint8_t>>{{0x00, 0x00}, {0xAA, 0xAA}, {0x55, 0x55}}));
}

}  // namespace
}  // namespace zivivar
