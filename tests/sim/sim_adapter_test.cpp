#include "sim/sim_adapter.h"

#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "programmer/port_link.h"
#include "support/scripted_services_view.h"

namespace zivivar::sim {
namespace {

constexpr uint16_t kData = 0x378;
constexpr uint16_t kStatus = 0x379;
constexpr uint16_t kControl = 0x37A;

// Records what the adapter drives and answers MISO as told.
class FakeTarget : public SimTarget {
 public:
  void OnRegisterWrite(const TargetLines& lines) override { ticks.push_back(lines); }
  bool Miso() const override { return miso; }

  std::vector<TargetLines> ticks;
  bool miso = false;
};

TEST(SimAdapterTest, HandshakeLatchesOnTheRisingStrobe) {
  SimAdapter adapter;
  EXPECT_EQ(adapter.In(kStatus) & 0x80, 0);  // idle
  adapter.Out(kData, 0x5A);
  adapter.Out(kControl, 0x0A);
  EXPECT_EQ(adapter.In(kStatus) & 0x80, 0x80);
  EXPECT_EQ(adapter.register_writes(), 0u);
  adapter.Out(kControl, 0x0B);
  EXPECT_EQ(adapter.In(kStatus) & 0x80, 0);
  EXPECT_EQ(adapter.reg(10), 0x5A);
  EXPECT_EQ(adapter.register_writes(), 1u);

  // The strobe staying high is no new edge.
  adapter.Out(kControl, 0x0B);
  EXPECT_EQ(adapter.register_writes(), 1u);
  EXPECT_EQ(adapter.handshake_errors(), 0);
  EXPECT_EQ(adapter.In(0x37B), 0xFF);  // not one of its ports
}

TEST(SimAdapterTest, WrongHandshakeOrderLatchesNothing) {
  SimAdapter adapter;
  adapter.Out(kData, 0x11);
  adapter.Out(kControl, 0x06);
  adapter.Out(kControl, 0x07);  // strobe without reading the acknowledge
  EXPECT_EQ(adapter.handshake_errors(), 1);
  EXPECT_EQ(adapter.register_writes(), 0u);

  adapter.Out(kControl, 0x06);
  adapter.Out(kData, 0x22);  // data changed under the address
  EXPECT_EQ(adapter.handshake_errors(), 2);

  adapter.Out(kControl, 0x16);  // bits 4 to 7 must be 0
  EXPECT_EQ(adapter.handshake_errors(), 3);
  EXPECT_EQ(adapter.reg(6), 0);
}

TEST(SimAdapterTest, StatusNibblesCarryTheInputByte) {
  SimAdapter adapter;
  auto write = [&](uint8_t reg, uint8_t value) {
    adapter.Out(kData, value);
    adapter.Out(kControl, reg);
    adapter.In(kStatus);
    adapter.Out(kControl, static_cast<uint8_t>(reg | 1));
    return adapter.In(kStatus);
  };
  write(10, 0xA5);
  // Low nibble 0x5 on status bits 6 and 4, high nibble 0xA on bits 3 and 5.
  EXPECT_EQ(write(4, 0), 0x50);
  EXPECT_EQ(write(8, 0), 0x28);
  adapter.set_loopback_error(0xFF);
  EXPECT_EQ(write(4, 0), 0x28);  // 0xA of 0x5A
}

class SimAdapterLinkTest : public ::testing::Test {
 protected:
  SimAdapterLinkTest() { link_.Configure(0x378, 100, 85); }

  testing::ScriptedServicesView view_;
  int message_beap_ = 0;
  Services services_{view_, message_beap_};
  SimAdapter adapter_;
  PortLink link_{adapter_, services_};
  FakeTarget target_;
};

TEST_F(SimAdapterLinkTest, EchoesEveryRegister10Value) {
  for (int value = 0; value < 256; ++value) {
    link_.WriteRegister(10, static_cast<uint8_t>(value));
    ASSERT_EQ(link_.ReadInputByte(), value);
  }
  EXPECT_EQ(adapter_.handshake_errors(), 0) << adapter_.last_error();
}

TEST_F(SimAdapterLinkTest, SupplyWordIsTakenOnlyOnTheLoadPulse) {
  link_.SetSupplyCode(0x64);
  link_.LoadSupplyWord();
  EXPECT_EQ(adapter_.supply_word(), 0x6400);
  EXPECT_EQ(adapter_.lines().supply_code, 0x64);

  // Clocking bits in without the load leaves the word as it was.
  link_.RegisterImage(4) = kReg4SupplyData;
  link_.WriteRegister(4, kReg4SupplyData);
  link_.WriteRegister(4, kReg4SupplyData | kReg4SupplyClock);
  EXPECT_EQ(adapter_.supply_word(), 0x6400);

  link_.ResetAdapter();
  EXPECT_EQ(adapter_.supply_word(), 0x0000);
}

TEST_F(SimAdapterLinkTest, DrivesTheTargetOncePerWrite) {
  adapter_.AttachTarget(&target_);
  link_.SetSupplyCode(0x64);
  link_.LoadSupplyWord();
  link_.WriteRegister(8, kReg8SupplyOn);
  link_.WriteRegister(10, kReg10Rst | kReg10Sck | kReg10Mosi);
  ASSERT_EQ(target_.ticks.size(), adapter_.register_writes());
  const TargetLines& lines = target_.ticks.back();
  EXPECT_TRUE(lines.powered);
  EXPECT_EQ(lines.supply_code, 0x64);
  EXPECT_TRUE(lines.rst);
  EXPECT_TRUE(lines.sck);
  EXPECT_TRUE(lines.mosi);

  link_.WriteRegister(10, kReg10Sck);
  EXPECT_FALSE(target_.ticks.back().rst);
  EXPECT_FALSE(target_.ticks.back().mosi);
}

TEST_F(SimAdapterLinkTest, MisoComesFromAPoweredTargetOnly) {
  adapter_.AttachTarget(&target_);
  target_.miso = true;
  link_.WriteRegister(10, 0x01);
  EXPECT_EQ(link_.ReadInputByte(), 0x01);  // unpowered: the echo

  link_.RegisterImage(8) = kReg8SupplyOn;
  EXPECT_EQ(link_.ReadInputByte(), 0x11);
  target_.miso = false;
  link_.WriteRegister(10, 0x11);
  EXPECT_EQ(link_.ReadInputByte(), 0x01);

  // A chip in the socket does not disturb detection, which runs unpowered.
  EXPECT_EQ(link_.DetectAdapter(), kLinkOk);
  adapter_.DetachTarget();
  link_.RegisterImage(8) = kReg8SupplyOn;
  EXPECT_EQ(link_.ReadInputByte(), 0x00);
}

TEST_F(SimAdapterLinkTest, LostAdapterStopsAnsweringUntilReconnected) {
  adapter_.LoseAfter(2);
  EXPECT_EQ(link_.WriteRegister(6, 2), kLinkOk);
  EXPECT_EQ(link_.WriteRegister(6, 0), kLinkOk);
  EXPECT_EQ(link_.WriteRegister(6, 2), kHandshakeTimeout);
  EXPECT_FALSE(adapter_.present());
  EXPECT_EQ(adapter_.reg(6), 0);
  EXPECT_EQ(view_.messages.size(), 1u);

  adapter_.ReconnectAdapter();
  EXPECT_EQ(link_.DetectAdapter(), kLinkOk);
  EXPECT_EQ(adapter_.handshake_errors(), 0) << adapter_.last_error();
}

}  // namespace
}  // namespace zivivar::sim
