#include "programmer/port_link.h"

#include <sched.h>
#include <sys/resource.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "programmer/register_script.h"
#include "sim/sim_adapter.h"
#include "support/recording_port_io.h"

namespace zivivar {
namespace {

using ::testing::ElementsAre;
using testing::InAccess;
using testing::OutAccess;
using testing::Rig;
using testing::Script;

class PortLinkTest : public ::testing::Test, protected Rig<testing::RecordingPortIo> {};
class PortLinkRegisterTest : public ::testing::Test, protected Rig<testing::RegisterRecorder> {};

TEST_F(PortLinkTest, WriteRegisterWaitsForBothHandshakeEdges) {
  // Two reads until the acknowledge, three until it drops again.
  io.QueueReads({0x00, 0x80, 0xFF, 0x80, 0x3F});
  EXPECT_EQ(link.WriteRegister(6, 0x02), kLinkOk);
  EXPECT_THAT(io.accesses,
              ElementsAre(OutAccess(0x378, 0x02), OutAccess(0x37A, 0x06), InAccess(0x379, 0x00),
                          InAccess(0x379, 0x80), OutAccess(0x37A, 0x07), InAccess(0x379, 0xFF),
                          InAccess(0x379, 0x80), InAccess(0x379, 0x3F)));
}

TEST_F(PortLinkTest, AnswerOnTheReadThatExhaustsTheCountIsATimeout) {
  link.Configure(0x378, 1, 85);
  EXPECT_EQ(link.WriteRegister(4, 0x20), kHandshakeTimeout);
  // With a count of 1 the first read exhausts it, acknowledge or not.
  EXPECT_THAT(io.accesses,
              ElementsAre(OutAccess(0x378, 0x20), OutAccess(0x37A, 0x04), InAccess(0x379, 0x80)));
  EXPECT_THAT(view.Texts(), ElementsAre(kTimeoutMessage));

  link.ClearLinkLost();
  link.Configure(0x378, 4, 85);
  io.QueueReads({0x00, 0x00, 0x80, 0x80, 0x80, 0x00});  // both edges on the third read
  EXPECT_EQ(link.WriteRegister(2, 0), kLinkOk);
  io.QueueReads({0x00, 0x00, 0x00, 0x80});  // on the fourth
  EXPECT_EQ(link.WriteRegister(2, 0), kHandshakeTimeout);
  EXPECT_EQ(io.CountIns(), 1u + 6u + 4u);
}

TEST_F(PortLinkTest, LostLinkGivesOneMessageAndNoPortAccessUntilCleared) {
  io.SetReadHandler([](uint16_t) { return uint8_t{0x00}; });  // never acknowledges
  EXPECT_EQ(link.WriteRegister(10, 0x01), kHandshakeTimeout);
  const size_t accesses = io.accesses.size();
  EXPECT_EQ(link.WriteRegister(10, 0x21), kHandshakeTimeout);
  EXPECT_EQ(link.DelayMs(1), kDelayCutShort);
  link.ResetAdapter();
  EXPECT_EQ(io.accesses.size(), accesses);
  EXPECT_EQ(view.messages.size(), 1u);

  // A new command tries the port again (and tells of a new loss once more).
  link.ClearLinkLost();
  EXPECT_EQ(link.WriteRegister(10, 0x01), kHandshakeTimeout);
  EXPECT_GT(io.accesses.size(), accesses);
  EXPECT_EQ(view.messages.size(), 2u);
  // So does detection (this fake has no loop-back, hence 8).
  io.SetReadHandler(nullptr);
  EXPECT_EQ(link.DetectAdapter(), kAdapterNotFound);
  EXPECT_EQ(link.WriteRegister(10, 0x01), kLinkOk);
}

TEST_F(PortLinkRegisterTest, DelayAndPulsesToggleTheTimerBit) {
  link.ClockPulses(0);
  EXPECT_EQ(io.write_count(), 0u);
  link.RegisterImage(4) = 0x02;  // other bits of the image are kept
  EXPECT_EQ(link.DelayMs(100), kLinkOk);
  link.ClockPulses(2);
  EXPECT_EQ(io.writes(), Script{.reg4 = 0x02}.DelayMs(100).Pulses(2).writes);
  EXPECT_EQ(io.write_count(), 1176u + 1u + 4u);
}

TEST_F(PortLinkRegisterTest, ResetAdapterWritesTheIdleState) {
  link.RegisterImage(0) = 0xF3;
  link.RegisterImage(4) = 0x20;
  link.RegisterImage(8) = 0x81;
  link.RegisterImage(10) = 0x29;
  link.SetSupplyCode(0x60);
  link.ResetAdapter();
  Script s;
  s.W(4, 0).W(0, 0).W(2, 0).W(6, 0).W(10, 0).Supply(0).Supply(0).W(0, 0x03).W(8, 0x01);
  EXPECT_EQ(io.writes(), s.writes);
  EXPECT_EQ(io.write_count(), 5u + 2 * 51u + 2u);
  EXPECT_EQ(link.supply_code(), 0);
  EXPECT_EQ(link.RegisterImage(10), 0x29);  // only the lines went low
}

TEST_F(PortLinkRegisterTest, DetectAdapterRunsTheLoopbackTestAndLeavesImagesAtZero) {
  link.RegisterImage(4) = 0x20;
  link.RegisterImage(10) = 0x29;
  EXPECT_EQ(link.DetectAdapter(), kLinkOk);
  Script s;
  s.W(12, 0x80).W(14, 0x80).W(6, 0).W(2, 0).W(0, 0).W(8, 0).W(4, 0).W(10, 0).W(4, 0).W(8, 0);
  s.W(10, 0xAA).W(4, 0).W(8, 0).W(10, 0x55).W(4, 0).W(8, 0).W(10, 0);
  EXPECT_EQ(io.writes(), s.writes);
  for (int reg : {0, 4, 8, 10})
    EXPECT_EQ(link.RegisterImage(reg), 0) << reg;
}

TEST(PortLinkSimTest, DetectAdapterAgainstTheSimulatorAndItsFaults) {
  using SimRig = Rig<sim::SimAdapter>;
  const struct {
    const char* name;
    std::function<void(SimRig&)> fault;
    int result;
    size_t messages;
  } cases[] = {
      {"sound", [](SimRig&) {}, kLinkOk, 0},
      {"no adapter", [](SimRig& r) { r.io.RemoveAdapter(); }, kAdapterNotFound, 1},
      {"status stuck busy", [](SimRig& r) { r.io.RemoveAdapter(0xFF); }, kHandshakeTimeout, 1},
      {"other port", [](SimRig& r) { r.link.Configure(0x278, 200, 85); }, kHandshakeTimeout, 1},
      {"lost after 3 writes", [](SimRig& r) { r.io.LoseAfter(3); }, kAdapterNotFound, 1},
      // Every check passed; the closing write must not turn a lost link into success.
      {"lost before the last write", [](SimRig& r) { r.io.LoseAfter(16); }, kAdapterNotFound, 1},
      {"wrong loop-back", [](SimRig& r) { r.io.set_loopback_error(0x01); }, kAdapterNotFound, 0},
  };
  for (const auto& c : cases) {
    SimRig rig;
    c.fault(rig);
    EXPECT_EQ(rig.link.DetectAdapter(), c.result) << c.name;
    EXPECT_EQ(rig.view.Texts(), std::vector<std::string>(c.messages, kTimeoutMessage)) << c.name;
    EXPECT_EQ(rig.io.handshake_errors(), 0) << c.name << rig.io.last_error();
  }
}

TEST(PortLinkSimTest, SearchAdapterGivesUpAfterTheAllowedAttempts) {
  for (const uint32_t attempts : {0u, 2u, 3u}) {
    Rig<sim::SimAdapter> rig;
    rig.io.RemoveAdapter();
    std::vector<std::string> events, expected;
    rig.view.OnMessage([&](const testing::RecordedMessage& m) {
      events.push_back(m.text == kNoHardwareMessage ? "no hardware" : "timeout");
    });
    EXPECT_FALSE(rig.link.SearchAdapter(
        attempts, [&] { events.push_back("preferences"); }, [&] { events.push_back("save"); }));
    for (uint32_t i = 1; i < attempts; ++i)  // a count of 0 still makes one attempt
      expected.insert(expected.end(), {"timeout", "preferences"});
    expected.insert(expected.end(), {"timeout", "no hardware", "save"});
    EXPECT_EQ(events, expected) << attempts;
  }
}

std::pair<int, int> CurrentPriority() {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, 0);
  return {sched_getscheduler(0), nice};
}

TEST_F(PortLinkTest, RestorePriorityPutsBackWhatRaiseChanged) {
  const auto before = CurrentPriority();
  for (const int os_kind : {0, 6}) {  // real time, or only a high priority
    link.RaisePriority(os_kind);
    link.RaisePriority(os_kind);  // nested: must not take the raised state as the one to restore
    link.RestorePriority();
    EXPECT_EQ(CurrentPriority(), before) << os_kind;
  }
}

}  // namespace
}  // namespace zivivar
