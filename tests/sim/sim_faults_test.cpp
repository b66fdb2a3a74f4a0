#include "sim/sim_faults.h"

#include <gtest/gtest.h>

namespace zivivar::sim {
namespace {

TEST(SimFaultsTest, EveryItemOfTheSyntax) {
  SimFaults faults;
  ASSERT_EQ(ParseSimFaults("noadapter,lost-after=0x100,loopback=0x10,nochip,never-finish,nolock,"
                           "stuck=0x100:0x01,stuck-read=ee:0x7FF:0xF0:0xA0,stuck-write=010:3:1",
                           &faults),
            kFaultsOk);
  SimFaults expected;
  expected.no_adapter = true;
  expected.adapter_lost = true;
  expected.lost_after = 0x100;
  expected.loopback_xor = 0x10;
  expected.target.no_chip = true;
  expected.target.never_finish = true;
  expected.target.lock_ignored = true;
  expected.target.stuck = {{false, 0x100, 0x01, 0x00, StuckScope::kCell},
                           {true, 0x7FF, 0xF0, 0xA0, StuckScope::kRead},
                           {false, 8, 0x03, 0x01, StuckScope::kWrite}};
  EXPECT_EQ(faults, expected);
}

TEST(SimFaultsTest, BlanksCaseAndEmptyItemsDoNotMatter) {
  SimFaults faults;
  faults.no_adapter = true;
  ASSERT_EQ(ParseSimFaults("", &faults), kFaultsOk);
  EXPECT_EQ(faults, SimFaults());

  ASSERT_EQ(ParseSimFaults(" Loopback , ,STUCK = EE : 5 : 0x80 : 0xFF,", &faults), kFaultsOk);
  EXPECT_EQ(faults.loopback_xor, 0xFF);
  ASSERT_EQ(faults.target.stuck.size(), 1u);
  EXPECT_EQ(faults.target.stuck[0], (StuckBits{true, 5, 0x80, 0x80, StuckScope::kCell}));
}

TEST(SimFaultsTest, BadItemsAreNamedAndChangeNothing) {
  const std::pair<const char*, const char*> cases[] = {
      {"nochip,nochips", "nochips"},      {"lost-after=12x", "lost-after=12x"},
      {"lost-after=-1", "lost-after=-1"}, {"loopback=0", "loopback=0"},
      {"nochip=1", "nochip=1"},           {"stuck=5", "stuck=5"},
      {"stuck=08:1", "stuck=08:1"},       {"stuck=0x20000:1", "stuck=0x20000:1"},
      {" stuck-x=1:1 ", "stuck-x=1:1"},
  };
  for (const auto& [text, item] : cases) {
    SimFaults faults;
    faults.target.never_finish = true;
    std::string bad;
    EXPECT_EQ(ParseSimFaults(text, &faults, &bad), kFaultsBadItem) << text;
    EXPECT_EQ(bad, item) << text;
    EXPECT_TRUE(faults.target.never_finish) << text;
    EXPECT_FALSE(faults.target.no_chip) << text;
  }
}

}  // namespace
}  // namespace zivivar::sim
