#include "services/services.h"

#include <gtest/gtest.h>

#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using testing::ScriptedServicesView;

class ServicesTest : public ::testing::Test {
 protected:
  // Runs total items and returns the item numbers (1-based) after which events were pumped.
  std::vector<uint32_t> PumpsDuring(uint32_t total) {
    services.ProgressStart(total);
    std::vector<uint32_t> at;
    for (uint32_t item = 1; item <= total; ++item) {
      const int before = view.pumps;
      services.ProgressStep();
      if (view.pumps != before) at.push_back(item);
    }
    return at;
  }

  int beep = 0;
  ScriptedServicesView view;
  Services services{view, beep};
};

TEST_F(ServicesTest, HundredItemsMakeFiftyStepsOfTwo) {
  const auto at = PumpsDuring(100);
  ASSERT_EQ(at.size(), 50u);
  EXPECT_EQ(at.front(), 2u);
  EXPECT_EQ(at.back(), 100u);
  EXPECT_EQ(view.ranges.back(), 50u);
  EXPECT_EQ(view.positions.back(), 50u);
}

TEST_F(ServicesTest, BetweenFiftyAndHundredEveryItemStepsAndTheBarStaysFull) {
  const auto at = PumpsDuring(75);
  EXPECT_EQ(at.size(), 75u);
  EXPECT_EQ(view.ranges.back(), 50u);
  EXPECT_EQ(view.positions[49], 50u);
  EXPECT_EQ(view.positions.back(), 50u);
  EXPECT_EQ(services.bar_position(), 75u);
}

TEST_F(ServicesTest, ZeroTotalStillPumpsAtEveryItem) {
  services.ProgressStart(0);
  EXPECT_EQ(view.ranges.back(), 0u);
  EXPECT_EQ(services.items_per_step(), 1u);
  services.ProgressStep();
  services.ProgressStep();
  EXPECT_EQ(view.pumps, 2);
}

TEST_F(ServicesTest, FullCodeMemoryLeavesRemainderWithoutStep) {
  const auto at = PumpsDuring(131072);
  EXPECT_EQ(services.items_per_step(), 2621u);
  EXPECT_EQ(at.size(), 50u);
  EXPECT_EQ(services.item_counter(), 22u);
}

TEST_F(ServicesTest, ProgressStartDoesNotMoveTheBar) {
  services.ProgressStart(10);
  EXPECT_TRUE(view.positions.empty());
  services.SetProgress(0);
  EXPECT_EQ(view.positions, std::vector<uint32_t>{0});
}

TEST_F(ServicesTest, CancelClickIsNoticedAtTheNextStep) {
  // 10000 items at 200 per step: a click waiting in the queue after item 450
  // comes through at the pump after item 600.
  services.ProgressStart(10000);
  ASSERT_EQ(services.items_per_step(), 200u);
  view.OnPump(3, [&] { services.RequestCancel(); });
  uint32_t stopped_after = 0;
  for (uint32_t item = 1; item <= 10000; ++item) {
    services.ProgressStep();
    if (services.CancelRequested()) {
      stopped_after = item;
      break;
    }
  }
  EXPECT_EQ(stopped_after, 600u);
  services.ClearCancel();
  EXPECT_FALSE(services.CancelRequested());
}

TEST_F(ServicesTest, BeepRuleFollowsTheSettingAtEveryMessage) {
  services.ShowMessage("a");
  services.AskRetryCancel("b");
  services.AskOkCancel("c");
  EXPECT_EQ(view.beeps, 0);
  beep = 1;
  services.ShowMessage("a");
  services.AskRetryCancel("b");
  services.AskOkCancel("c");
  EXPECT_EQ(view.beeps, 3);
  services.ShowPlainMessage("diagnostics");
  EXPECT_EQ(view.beeps, 3);
}

TEST_F(ServicesTest, MessagesCarryCaptionKindAndAnswers) {
  view.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);
  EXPECT_EQ(services.AskRetryCancel("Fehler"), kIdRetry);
  EXPECT_EQ(services.AskRetryCancel("Fehler"), kIdCancel);
  view.QueueAnswer(MessageKind::kOkCancel, kIdOk);
  EXPECT_EQ(services.AskOkCancel("Sicher?"), kIdOk);
  services.ShowDemoMessage();
  services.ShowPlainMessage("Linux");
  ASSERT_EQ(view.messages.size(), 5u);
  EXPECT_EQ(view.messages[0].caption, "Meldung");
  EXPECT_EQ(view.messages[2].kind, MessageKind::kOkCancel);
  EXPECT_EQ(view.messages[3].text,
            "Keine Aktionen des Brenners möglich !\n\nProgramm läuft im Demomodus.");
  EXPECT_EQ(view.messages[4].kind, MessageKind::kPlain);
  EXPECT_EQ(view.messages[4].caption, "8051 VeDedido Zivivar V1.05");
}

TEST_F(ServicesTest, SetStatusRepaintsAtOnce) {
  services.SetStatus("Lese Daten");
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Lese Daten"});
  EXPECT_EQ(view.repaints, 1);
  EXPECT_EQ(view.pumps, 0);
}

}  // namespace
}  // namespace zivivar
