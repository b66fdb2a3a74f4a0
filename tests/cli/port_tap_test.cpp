#include "cli/port_tap.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "programmer/port_link.h"
#include "sim/sim_adapter.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using Pairs = std::vector<std::pair<int, int>>;

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
  Pairs writes_;
  Pairs inputs_;
};

TEST_F(PortTapTest, SeesTheLatchedWritesAndPairsRegisterFourAndEightIntoInputBytes) {
  link_.WriteRegister(10, 0xA5);
  EXPECT_EQ(link_.ReadInputByte(), 0xA5);
  // Register 8 alone, or 4 and 8 with another register between, is no input byte.
  link_.WriteRegister(8, 0);
  link_.WriteRegister(4, 0);
  link_.WriteRegister(10, 0x5A);
  link_.WriteRegister(8, 0);
  EXPECT_EQ(link_.ReadInputByte(), 0x5A);
  // A write the adapter no longer acknowledges is not seen.
  adapter_.RemoveAdapter();
  EXPECT_EQ(link_.WriteRegister(10, 0x11), kHandshakeTimeout);
  EXPECT_EQ(link_.WriteRegister(10, 0x11), kHandshakeTimeout);
  EXPECT_EQ(inputs_, (Pairs{{0xA5, 0xA5}, {0x5A, 0x5A}}));
  EXPECT_EQ(
      writes_,
      (Pairs{{10, 0xA5}, {4, 0}, {8, 0}, {8, 0}, {4, 0}, {10, 0x5A}, {8, 0}, {4, 0}, {8, 0}}));
  EXPECT_EQ(tap_.register_writes(), adapter_.register_writes());
}

}  // namespace
}  // namespace zivivar
