#include "programmer/port_link.h"

#include <sched.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/sim_adapter.h"
#include "support/recording_port_io.h"
#include "support/register_recorder.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::InAccess;
using testing::OutAccess;
using testing::RecordingPortIo;
using testing::RegisterRecorder;
using testing::RegisterWrite;
using testing::ScriptedServicesView;

class PortLinkTest : public ::testing::Test {
 protected:
  std::vector<std::string> Texts() const { return view_.Texts(); }

  ScriptedServicesView view_;
  int message_beap_ = 0;
  Services services_{view_, message_beap_};
  RecordingPortIo io_;
  PortLink link_{io_, services_};
};

TEST_F(PortLinkTest, WriteRegisterWaitsForBothHandshakeEdges) {
  // Two reads until the acknowledge, three until it drops again.
  io_.QueueReads({0x00, 0x80, 0xFF, 0x80, 0x3F});
  EXPECT_EQ(link_.WriteRegister(6, 0x02), kLinkOk);
  EXPECT_THAT(io_.accesses,
              ElementsAre(OutAccess(0x378, 0x02), OutAccess(0x37A, 0x06), InAccess(0x379, 0x00),
                          InAccess(0x379, 0x80), OutAccess(0x37A, 0x07), InAccess(0x379, 0xFF),
                          InAccess(0x379, 0x80), InAccess(0x379, 0x3F)));
  EXPECT_EQ(link_.last_status(), 0x3F);
  EXPECT_EQ(link_.control_image(), 0x07);
  EXPECT_TRUE(Texts().empty());

  // A new base address counts from the next write on.
  RecordingPortIo other(0x278);
  link_.SetPortIo(other);
  link_.Configure(0x278, 100000, 85);
  EXPECT_EQ(link_.WriteRegister(14, 0x80), kLinkOk);
  EXPECT_THAT(other.accesses,
              ElementsAre(OutAccess(0x278, 0x80), OutAccess(0x27A, 0x0E), InAccess(0x279, 0x80),
                          OutAccess(0x27A, 0x0F), InAccess(0x279, 0x00)));
}

TEST_F(PortLinkTest, TimeoutCountOneFailsOnTheFirstRead) {
  link_.Configure(0x378, 1, 85);
  EXPECT_EQ(link_.WriteRegister(4, 0x20), kHandshakeTimeout);
  // The read shows the acknowledge, yet it is the one that exhausts the count.
  EXPECT_THAT(io_.accesses,
              ElementsAre(OutAccess(0x378, 0x20), OutAccess(0x37A, 0x04), InAccess(0x379, 0x80)));
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kOk);
  EXPECT_EQ(view_.messages[0].caption, "Meldung");
  EXPECT_EQ(view_.messages[0].text, kTimeoutMessage);
  EXPECT_TRUE(link_.link_lost());
}

TEST_F(PortLinkTest, AnswerOnTheReadThatExhaustsTheCountIsATimeout) {
  link_.Configure(0x378, 4, 85);
  io_.QueueReads({0x00, 0x00, 0x00, 0x80});
  EXPECT_EQ(link_.WriteRegister(2, 0), kHandshakeTimeout);
  EXPECT_EQ(io_.CountIns(), 4u);

  // One read earlier is still in time; the same rule holds for the drop.
  link_.ClearLinkLost();
  io_.Clear();
  io_.QueueReads({0x00, 0x00, 0x80, 0x80, 0x80, 0x80, 0x00});
  EXPECT_EQ(link_.WriteRegister(2, 0), kHandshakeTimeout);
  EXPECT_EQ(io_.CountIns(), 3u + 4u);
  EXPECT_EQ(Texts().size(), 2u);
}

TEST_F(PortLinkTest, LostLinkGivesOneMessageAndNoPortAccessUntilCleared) {
  io_.SetReadHandler([](uint16_t) { return uint8_t{0x00}; });  // never acknowledges
  link_.Configure(0x378, 10, 85);
  EXPECT_EQ(link_.WriteRegister(10, 0x01), kHandshakeTimeout);
  const size_t accesses = io_.accesses.size();

  EXPECT_EQ(link_.WriteRegister(10, 0x21), kHandshakeTimeout);
  EXPECT_EQ(link_.DelayMs(1), kDelayCutShort);
  link_.ClockPulses(100);
  link_.LoadSupplyWord();
  link_.ResetAdapter();
  EXPECT_EQ(io_.accesses.size(), accesses);
  EXPECT_EQ(Texts().size(), 1u);

  // A new command tries the port again (and tells of a new loss once more).
  link_.ClearLinkLost();
  EXPECT_EQ(link_.WriteRegister(10, 0x01), kHandshakeTimeout);
  EXPECT_GT(io_.accesses.size(), accesses);
  EXPECT_EQ(Texts().size(), 2u);

  // Detection tries again too (this fake has no loop-back, hence 8).
  io_.SetReadHandler(nullptr);
  EXPECT_EQ(link_.DetectAdapter(), kAdapterNotFound);
  EXPECT_FALSE(link_.link_lost());
  EXPECT_EQ(link_.WriteRegister(10, 0x01), kLinkOk);
}

TEST_F(PortLinkTest, ReadInputByteAssemblesTheNibblesOfRegisters4And8) {
  link_.RegisterImage(4) = 0x22;
  link_.RegisterImage(8) = 0x80;
  // Low nibble 0x5 on status bits 6 and 4; high nibble 0xA on bits 3 and 5.
  io_.QueueReads({0x80, 0x50, 0x80, 0x28});
  EXPECT_EQ(link_.ReadInputByte(), 0xA5);
  EXPECT_THAT(io_.OutsTo(0x378), ElementsAre(0x22, 0x80));
  EXPECT_THAT(io_.OutsTo(0x37A), ElementsAre(0x04, 0x05, 0x08, 0x09));
  EXPECT_EQ(link_.RegisterImage(4), 0x22);
  EXPECT_EQ(link_.RegisterImage(8), 0x80);
}

TEST(UsToCyclesTest, DividesByTheCorrectionAndNeverGivesZero) {
  EXPECT_EQ(UsToCycles(0, 85), 1u);
  EXPECT_EQ(UsToCycles(84, 85), 1u);
  EXPECT_EQ(UsToCycles(170, 85), 2u);
  EXPECT_EQ(UsToCycles(100000, 85), 1176u);
  EXPECT_EQ(UsToCycles(100000, 0), 100000u);
}

class PortLinkRegisterTest : public ::testing::Test {
 protected:
  ScriptedServicesView view_;
  int message_beap_ = 0;
  Services services_{view_, message_beap_};
  RegisterRecorder adapter_;
  PortLink link_{adapter_, services_};
};

TEST_F(PortLinkRegisterTest, DelayMsHoldsTheTimerBitForTheCountedWrites) {
  link_.RegisterImage(4) = 0x02;  // other bits of the image are kept
  EXPECT_EQ(link_.DelayMs(100), kLinkOk);
  std::vector<uint8_t> expected(1176, 0x22);
  expected.push_back(0x02);
  EXPECT_THAT(adapter_.WritesTo(4), ElementsAreArray(expected));
  EXPECT_EQ(adapter_.write_count(), 1177u);
}

TEST_F(PortLinkRegisterTest, ClockPulsesTogglesTheTimerBit) {
  link_.ClockPulses(0);
  EXPECT_EQ(adapter_.write_count(), 0u);
  link_.ClockPulses(3);
  EXPECT_THAT(adapter_.WritesTo(4), ElementsAre(0x20, 0x00, 0x20, 0x00, 0x20, 0x00));
}

TEST_F(PortLinkRegisterTest, LoadSupplyWordShiftsSixteenBitsThenLoads) {
  link_.SetSupplyCode(0xA5);
  link_.LoadSupplyWord();
  const std::vector<uint8_t> expected = {
      0x02, 0x03, 0x02, 0x00, 0x01, 0x00, 0x02, 0x03, 0x02, 0x00, 0x01, 0x00,  // 1 0 1 0
      0x00, 0x01, 0x00, 0x02, 0x03, 0x02, 0x00, 0x01, 0x00, 0x02, 0x03, 0x02,  // 0 1 0 1
      0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00,  // second byte
      0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00,  //
      0x04, 0x00, 0x00};                                                       // load, data off
  EXPECT_THAT(adapter_.WritesTo(4), ElementsAreArray(expected));
  EXPECT_EQ(adapter_.write_count(), 51u);
}

TEST_F(PortLinkRegisterTest, ResetAdapterWritesTheIdleState) {
  link_.RegisterImage(0) = 0xF3;
  link_.RegisterImage(4) = 0x20;
  link_.RegisterImage(8) = 0x81;
  link_.RegisterImage(10) = 0x29;
  link_.SetSupplyCode(0x60);
  link_.ResetAdapter();

  std::vector<RegisterWrite> expected = {{4, 0x00}, {0, 0}, {2, 0}, {6, 0}, {10, 0}};
  for (int word = 0; word < 2; ++word) {
    for (int bit = 0; bit < 16; ++bit) {
      expected.insert(expected.end(), {{4, 0x00}, {4, 0x01}, {4, 0x00}});
    }
    expected.insert(expected.end(), {{4, 0x04}, {4, 0x00}, {4, 0x00}});
  }
  expected.insert(expected.end(), {{0, 0x03}, {8, 0x01}});
  EXPECT_THAT(adapter_.writes(), ElementsAreArray(expected));
  EXPECT_EQ(expected.size(), 109u);
  EXPECT_EQ(link_.supply_code(), 0);
  EXPECT_EQ(link_.RegisterImage(10), 0x29);
  EXPECT_EQ(link_.RegisterImage(8), 0x01);
}

TEST_F(PortLinkRegisterTest, DetectAdapterRunsTheLoopbackTestAndLeavesImagesAtZero) {
  link_.RegisterImage(4) = 0x20;
  link_.RegisterImage(10) = 0x29;
  EXPECT_EQ(link_.DetectAdapter(), kLinkOk);
  const std::vector<RegisterWrite> expected = {
      {12, 0x80}, {14, 0x80}, {6, 0}, {2, 0}, {0, 0},     {8, 0}, {4, 0}, {10, 0}, {4, 0},
      {8, 0},     {10, 0xAA}, {4, 0}, {8, 0}, {10, 0x55}, {4, 0}, {8, 0}, {10, 0}};
  EXPECT_THAT(adapter_.writes(), ElementsAreArray(expected));
  for (int reg : {0, 4, 8, 10})
    EXPECT_EQ(link_.RegisterImage(reg), 0) << reg;
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(PortLinkRegisterTest, WrongLoopbackIsNotFoundWithoutMessage) {
  // Lines that read 0xAA after 0x55 was written.
  adapter_.SetNibbleHook([this](int reg) {
    const uint8_t input = adapter_.last(10) == 0x55 ? 0xAA : adapter_.last(10);
    return static_cast<uint8_t>(reg == 4 ? input & 0x0F : input >> 4);
  });
  EXPECT_EQ(link_.DetectAdapter(), kAdapterNotFound);
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_EQ(adapter_.writes().back(), (RegisterWrite{8, 0}));  // stopped at the third read
}

class PortLinkSimTest : public ::testing::Test {
 protected:
  PortLinkSimTest() { link_.Configure(0x378, 200, 85); }

  ScriptedServicesView view_;
  int message_beap_ = 0;
  Services services_{view_, message_beap_};
  sim::SimAdapter adapter_;
  PortLink link_{adapter_, services_};
};

TEST_F(PortLinkSimTest, DetectAdapterFindsTheSimulatedAdapter) {
  EXPECT_EQ(link_.DetectAdapter(), kLinkOk);
  EXPECT_EQ(adapter_.handshake_errors(), 0) << adapter_.last_error();
  EXPECT_EQ(adapter_.register_writes(), 17u);
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(PortLinkSimTest, DetectAdapterFaultsGiveTheirResultAndMessages) {
  struct Case {
    const char* name;
    void (*fault)(sim::SimAdapter&, PortLink&);
    int result;
    size_t messages;
  };
  const Case cases[] = {
      {"no adapter", [](sim::SimAdapter& a, PortLink&) { a.RemoveAdapter(); }, kAdapterNotFound, 1},
      {"status stuck busy", [](sim::SimAdapter& a, PortLink&) { a.RemoveAdapter(0xFF); },
       kHandshakeTimeout, 1},
      {"wrong port address", [](sim::SimAdapter&, PortLink& l) { l.Configure(0x278, 200, 85); },
       kHandshakeTimeout, 1},
      {"lost after 3 writes", [](sim::SimAdapter& a, PortLink&) { a.LoseAfter(3); },
       kAdapterNotFound, 1},
      // Every check passed; the closing write must not turn a lost link into success.
      {"lost before the last write", [](sim::SimAdapter& a, PortLink&) { a.LoseAfter(16); },
       kAdapterNotFound, 1},
      {"wrong loop-back", [](sim::SimAdapter& a, PortLink&) { a.set_loopback_error(0x01); },
       kAdapterNotFound, 0},
  };
  for (const Case& c : cases) {
    ScriptedServicesView view;
    Services services(view, message_beap_);
    sim::SimAdapter adapter;
    PortLink link(adapter, services);
    link.Configure(0x378, 200, 85);
    c.fault(adapter, link);
    EXPECT_EQ(link.DetectAdapter(), c.result) << c.name;
    EXPECT_EQ(view.messages.size(), c.messages) << c.name;
    if (c.messages == 1) {
      EXPECT_EQ(view.messages[0].text, kTimeoutMessage) << c.name;
    }
  }
}

TEST_F(PortLinkSimTest, DelayCutShortLeavesTheTimerBitSet) {
  adapter_.LoseAfter(10);
  EXPECT_EQ(link_.DelayMs(10), kDelayCutShort);
  EXPECT_EQ(adapter_.register_writes(), 10u);
  EXPECT_EQ(link_.RegisterImage(4) & kReg4Timer, kReg4Timer);
  EXPECT_EQ(view_.messages.size(), 1u);
}

class SearchAdapterTest : public PortLinkSimTest {
 protected:
  // Runs the search and returns the events in order.
  bool Search(uint32_t attempts, std::function<void()> on_preferences = nullptr) {
    view_.OnMessage([this](const testing::RecordedMessage& m) {
      events_.push_back(m.text == kNoHardwareMessage ? "no hardware" : "timeout");
    });
    return link_.SearchAdapter(
        attempts,
        [&] {
          events_.push_back("preferences");
          if (on_preferences)
            on_preferences();
        },
        [&] { events_.push_back("save"); });
  }
  std::vector<std::string> events_;
};

TEST_F(SearchAdapterTest, GivesUpAfterTheAllowedAttempts) {
  adapter_.RemoveAdapter();
  EXPECT_FALSE(Search(2));
  EXPECT_THAT(events_, ElementsAre("timeout", "preferences", "timeout", "no hardware", "save"));

  events_.clear();
  EXPECT_FALSE(Search(3));
  EXPECT_THAT(events_, ElementsAre("timeout", "preferences", "timeout", "preferences", "timeout",
                                   "no hardware", "save"));
}

TEST_F(SearchAdapterTest, FindsTheAdapterAfterThePortIsCorrected) {
  adapter_.set_base(0x278);
  EXPECT_TRUE(Search(2, [this] { link_.Configure(0x278, 200, 85); }));
  EXPECT_THAT(events_, ElementsAre("timeout", "preferences"));
  EXPECT_FALSE(link_.link_lost());
}

TEST_F(SearchAdapterTest, AZeroAttemptCountStillEnds) {
  adapter_.RemoveAdapter();
  EXPECT_FALSE(Search(0));
  EXPECT_THAT(events_, ElementsAre("timeout", "no hardware", "save"));
}

struct Priority {
  int policy;
  int nice;
  bool operator==(const Priority&) const = default;
};
Priority CurrentPriority() {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, 0);
  return {sched_getscheduler(0), nice};
}

TEST_F(PortLinkTest, RestorePriorityPutsBackWhatRaiseChanged) {
  const Priority before = CurrentPriority();
  link_.RaisePriority(0);
  link_.RaisePriority(0);  // nested: must not take the raised state as the one to restore
  const Priority raised = CurrentPriority();
  EXPECT_TRUE(raised.policy == SCHED_FIFO || raised.nice <= before.nice);
  link_.RestorePriority();
  EXPECT_EQ(CurrentPriority(), before);

  // The codes that only got a high priority never go real-time.
  link_.RaisePriority(6);
  EXPECT_EQ(CurrentPriority().policy, before.policy);
  link_.RestorePriority();
  EXPECT_EQ(CurrentPriority(), before);
}

}  // namespace
}  // namespace zivivar
