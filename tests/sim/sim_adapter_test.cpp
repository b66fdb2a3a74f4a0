#include "sim/sim_adapter.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zivivar::sim {
namespace {

constexpr uint16_t kData = 0x378;
constexpr uint16_t kStatus = 0x379;
constexpr uint16_t kControl = 0x37A;

// One register write by the rules; returns the status read after it.
uint8_t Write(SimAdapter& adapter, int reg, int value) {
  adapter.Out(kData, static_cast<uint8_t>(value));
  adapter.Out(kControl, static_cast<uint8_t>(reg));
  adapter.In(kStatus);
  adapter.Out(kControl, static_cast<uint8_t>(reg | 1));
  return adapter.In(kStatus);
}

// Counts the clocks the adapter reports out of step.
struct FakeTarget : SimTarget {
  void OnRegisterWrite(const TargetLines& /*lines*/) override {}
  bool Miso() const override { return false; }
  void OutOfStep() override { ++out_of_step; }
  int out_of_step = 0;
};

TEST(SimAdapterTest, HandshakeLatchesOnTheAcknowledgedRisingStrobeOnly) {
  SimAdapter adapter;
  adapter.Out(kData, 0x5A);
  adapter.Out(kControl, 0x0A);
  EXPECT_EQ(adapter.In(kStatus) & 0x80, 0x80);
  EXPECT_EQ(adapter.register_writes(), 0u);
  adapter.Out(kControl, 0x0B);
  EXPECT_EQ(adapter.In(kStatus) & 0x80, 0);
  adapter.Out(kControl, 0x0B);  // the strobe staying high is no new edge
  EXPECT_EQ(adapter.reg(10), 0x5A);
  EXPECT_EQ(adapter.register_writes(), 1u);

  adapter.Out(kData, 0x11);
  adapter.Out(kControl, 0x06);
  adapter.Out(kControl, 0x07);  // strobe without reading the acknowledge
  adapter.Out(kControl, 0x06);
  adapter.Out(kData, 0x22);     // data changed under the address
  adapter.Out(kControl, 0x16);  // bits 4 to 7 must be 0
  EXPECT_EQ(adapter.errors(), 3);
  EXPECT_EQ(adapter.register_writes(), 1u);
}

TEST(SimAdapterTest, SerialLinesKeepTheirTimingWhileTheChipListens) {
  // Register-10 values in order (RST 0x01, MOSI 0x08, SCK 0x20), each
  // latched once, after the supply went on and RST has been held.
  const struct {
    const char* name;
    std::vector<int> lines;
    const char* error;
  } cases[] = {
      {"a bit as sent", {0x09, 0x29, 0x29, 0x09, 0x09, 0x01, 0x21}, ""},
      {"short high", {0x21, 0x01}, "SCK high for 1 register write(s)"},
      {"short low", {0x21, 0x21, 0x01, 0x21}, "SCK low for 1 register write(s)"},
      {"MOSI with the edge", {0x29}, "MOSI changed while SCK was high"},
      {"MOSI while high", {0x21, 0x29}, "MOSI changed while SCK was high"},
      {"MOSI after the fall",
       {0x21, 0x21, 0x01, 0x09},
       "MOSI changed 1 register write(s) after SCK fell"},
      // Releasing RST ends the session, in the middle of a clock too.
      {"released", {0x09, 0x29, 0x00, 0x20, 0x08}, ""},
  };
  for (const auto& c : cases) {
    SimAdapter adapter;
    FakeTarget target;
    adapter.AttachTarget(&target);
    Write(adapter, 8, 0x80);
    Write(adapter, 10, 0x01);
    Write(adapter, 10, 0x01);
    for (const int value : c.lines)
      Write(adapter, 10, value);
    EXPECT_EQ(adapter.last_error(), c.error) << c.name;
    EXPECT_EQ(target.out_of_step, adapter.errors()) << c.name;
  }
  // With the supply off (adapter detection) the lines are free.
  SimAdapter adapter;
  for (const int value : {0x00, 0xAA, 0x55, 0x00})
    Write(adapter, 10, value);
  EXPECT_EQ(adapter.errors(), 0) << adapter.last_error();
}

}  // namespace
}  // namespace zivivar::sim
