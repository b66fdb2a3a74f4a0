#include "programmer/port_link.h"

#include <sched.h>
#include <sys/resource.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/sim_adapter.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using ::testing::ElementsAre;
struct Write {
  int reg;
  uint8_t value;
  bool operator==(const Write&) const = default;
};
using Writes = std::vector<Write>;

struct Observer : RegisterWriteObserver {
  void RegisterWritten(int reg, uint8_t value) override { writes.push_back({reg, value}); }
  void InputByteRead(uint8_t input) override { inputs.push_back(input); }
  Writes writes;
  std::vector<uint8_t> inputs;
};

template <class Io>
struct Rig {
  Rig() { link.Configure(0x378, 200, 85); }  // a short time-out
  testing::ScriptedServicesView view;
  int beap = 0;
  Services services{view, beap};
  Io io;
  PortLink link{io, services};
};

// (One message for a lost link and no port access after it: the device
// operations' lost-adapter runs show it.)
TEST(PortLinkTest, ALostLinkIsTriedAgainWhenCleared) {
  Rig<sim::SimAdapter> rig;
  rig.io.RemoveAdapter();
  EXPECT_EQ(rig.link.WriteRegister(10, 0x01), LinkResult::kHandshakeTimeout);
  // A new command tries the port again (and tells of a new loss once more).
  rig.link.ClearLinkLost();
  EXPECT_EQ(rig.link.WriteRegister(10, 0x01), LinkResult::kHandshakeTimeout);
  EXPECT_EQ(rig.view.messages.size(), 2u);
  rig.io.ReconnectAdapter();  // so does detection
  EXPECT_EQ(rig.link.DetectAdapter(), LinkResult::kOk);

  Rig<sim::SimAdapter> one;  // a count of 1 is used up by the first read, acknowledge or not
  one.link.Configure(0x378, 1, 85);
  one.io.RemoveAdapter(0x80);
  EXPECT_EQ(one.link.WriteRegister(4, 0), LinkResult::kHandshakeTimeout);
  EXPECT_EQ(one.io.status_reads(), 1u);
}

// The 51 writes of a supply word load of 0, register 4 otherwise at 0.
void ZeroSupplyWord(Writes& writes) {
  for (int bit = 0; bit < 16; ++bit)
    writes.insert(writes.end(), {{4, 0}, {4, 1}, {4, 0}});
  writes.insert(writes.end(), {{4, 4}, {4, 0}, {4, 0}});
}

TEST(PortLinkTest, ResetAndDetectWriteTheAdapterSequenceSeenByTheObserver) {
  Rig<sim::SimAdapter> rig;
  Observer observer;
  Writes latched;
  rig.io.OnLatch([&](int reg, uint8_t value) { latched.push_back({reg, value}); });
  rig.link.SetObserver(&observer);
  rig.link.RegisterImage(0) = 0xF3;
  rig.link.RegisterImage(4) = 0x20;
  rig.link.RegisterImage(8) = 0x81;
  rig.link.RegisterImage(10) = 0x29;
  rig.link.SetSupplyCode(0x60);
  rig.link.ResetAdapter();
  Writes expected = {{4, 0}, {0, 0}, {2, 0}, {6, 0}, {10, 0}};
  ZeroSupplyWord(expected);
  ZeroSupplyWord(expected);
  expected.insert(expected.end(), {{0, 0x03}, {8, 0x01}});
  EXPECT_EQ(latched, expected);
  EXPECT_EQ(rig.link.RegisterImage(10), 0x29);  // only the lines went low

  latched.clear();
  EXPECT_EQ(rig.link.DetectAdapter(), LinkResult::kOk);
  const Writes detect = {{12, 0x80}, {14, 0x80}, {6, 0}, {2, 0}, {0, 0},     {8, 0},
                         {4, 0},     {10, 0},    {4, 0}, {8, 0}, {10, 0xAA}, {4, 0},
                         {8, 0},     {10, 0x55}, {4, 0}, {8, 0}, {10, 0}};
  EXPECT_EQ(latched, detect);
  expected.insert(expected.end(), detect.begin(), detect.end());
  EXPECT_THAT(observer.inputs, ElementsAre(0x00, 0xAA, 0x55));
  for (int reg : {0, 4, 8, 10})
    EXPECT_EQ(rig.link.RegisterImage(reg), 0) << reg;
  rig.io.RemoveAdapter();  // writes that time out are not seen
  rig.link.ReadInputByte();
  EXPECT_EQ(observer.writes, expected);
  EXPECT_EQ(observer.inputs.size(), 3u);
}

TEST(PortLinkTest, DetectAdapterAgainstTheSimulatorAndItsFaults) {
  using SimRig = Rig<sim::SimAdapter>;
  const struct {
    const char* name;
    std::function<void(SimRig&)> fault;
    LinkResult result;
    size_t messages;
  } cases[] = {
      {"sound", [](SimRig&) {}, LinkResult::kOk, 0},
      {"no adapter", [](SimRig& r) { r.io.RemoveAdapter(); }, LinkResult::kAdapterNotFound, 1},
      {"status stuck busy", [](SimRig& r) { r.io.RemoveAdapter(0xFF); },
       LinkResult::kHandshakeTimeout, 1},
      {"lost after 3 writes", [](SimRig& r) { r.io.LoseAfter(3); }, LinkResult::kAdapterNotFound,
       1},
      // Every check passed; the closing write must not turn a lost link into success.
      {"lost before the last write", [](SimRig& r) { r.io.LoseAfter(16); },
       LinkResult::kAdapterNotFound, 1},
      {"wrong loop-back", [](SimRig& r) { r.io.set_loopback_error(0x01); },
       LinkResult::kAdapterNotFound, 0},
  };
  for (const auto& c : cases) {
    SimRig rig;
    c.fault(rig);
    EXPECT_EQ(rig.link.DetectAdapter(), c.result) << c.name;
    EXPECT_EQ(rig.view.Texts(), std::vector<std::string>(c.messages, kTimeoutMessage)) << c.name;
    EXPECT_EQ(rig.io.errors(), 0) << c.name << rig.io.last_error();
  }
}

TEST(PortLinkTest, RestorePriorityPutsBackWhatRaiseChanged) {
  Rig<sim::SimAdapter> rig;
  const auto priority = [] {
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    return std::make_pair(sched_getscheduler(0), nice);
  };
  const auto before = priority();
  for (const int os_kind : {0, 6}) {  // real time, or only a high priority
    rig.link.RaisePriority(os_kind);
    rig.link.RaisePriority(
        os_kind);  // nested: must not take the raised state as the one to restore
    rig.link.RestorePriority();
    EXPECT_EQ(priority(), before) << os_kind;
  }
}

}  // namespace
}  // namespace zivivar
