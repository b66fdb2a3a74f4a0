#include "services/services.h"

#include <gtest/gtest.h>

#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using Figures = std::vector<uint32_t>;

class ServicesTest : public ::testing::Test {
 protected:
  // Starts the bar for total and steps up to items, stopping once a cancel
  // is requested; a click on cancel arrives at pump cancel_at (0: none).
  // Gives the range, the pumps, the bar's last position and the items stepped.
  Figures Run(uint32_t total, uint32_t items, int cancel_at = 0) {
    view = {};
    view.OnPump(cancel_at, [&] { services.RequestCancel(); });
    services.ClearCancel();
    services.ProgressStart(total);
    EXPECT_TRUE(view.positions.empty());  // starting does not move the bar
    uint32_t item = 0;
    for (; item < items && !services.CancelRequested(); ++item)
      services.ProgressStep();
    return {view.ranges.at(0), static_cast<uint32_t>(view.pumps), view.positions.back(), item};
  }

  int beep = 0;
  testing::ScriptedServicesView view;
  Services services{view, beep};
};

TEST_F(ServicesTest, ABarOfAtMostFiftyStepsPumpsAndNoticesCancelAtEveryFullStep) {
  EXPECT_EQ(Run(100, 100), (Figures{50, 50, 50, 100}));
  EXPECT_EQ(Run(75, 75), (Figures{50, 75, 50, 75}));  // the bar holds still at its end
  EXPECT_EQ(Run(0, 2), (Figures{0, 2, 0, 2}));
  EXPECT_EQ(Run(131072, 131072), (Figures{50, 50, 50, 131072}));  // 2621 a step, 22 left
  // 200 items per step: a click after item 450 comes through at the pump after item 600.
  EXPECT_EQ(Run(10000, 10000, 3), (Figures{50, 3, 3, 600}));
}

TEST_F(ServicesTest, BoxesCarryCaptionKindAnswerAndBeepAndTheStatusRepaintsAtOnce) {
  // Answers are queued per kind, so the right answers prove the right kinds.
  view.QueueAnswer(MessageKind::kRetryCancel, kIdRetry);
  view.QueueAnswer(MessageKind::kOkCancel, kIdOk);
  for (beep = 0; beep <= 1; ++beep) {
    services.ShowMessage("a");
    EXPECT_EQ(services.AskRetryCancel("b"), beep == 0 ? kIdRetry : kIdCancel);
    EXPECT_EQ(services.AskOkCancel("c"), beep == 0 ? kIdOk : kIdCancel);
    services.ShowDemoMessage();
    services.ShowPlainMessage("d");
    EXPECT_EQ(view.beeps, beep * 4);  // every box but the plain one
  }
  EXPECT_EQ(view.messages.at(0).kind, MessageKind::kOk);
  EXPECT_EQ(view.messages.at(4).kind, MessageKind::kPlain);

  services.SetStatus("Lese Daten");
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Lese Daten"});
  EXPECT_EQ(view.repaints, 1);
}

}  // namespace
}  // namespace zivivar
