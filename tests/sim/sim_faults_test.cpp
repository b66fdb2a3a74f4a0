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
  const SimFaults expected{.no_adapter = true,
                           .adapter_lost = true,
                           .lost_after = 0x100,
                           .loopback_xor = 0x10,
                           .target = {.no_chip = true,
                                      .never_finish = true,
                                      .lock_ignored = true,
                                      .stuck = {{false, 0x100, 0x01, 0x00, StuckScope::kCell},
                                                {true, 0x7FF, 0xF0, 0xA0, StuckScope::kRead},
                                                {false, 8, 0x03, 0x01, StuckScope::kWrite}}}};
  EXPECT_EQ(faults, expected);
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
    const SimFaults before{.loopback_xor = 7, .target = {}};
    SimFaults faults = before;
    std::string bad;
    EXPECT_EQ(ParseSimFaults(text, &faults, &bad), kFaultsBadItem) << text;
    EXPECT_EQ(bad, item) << text;
    EXPECT_EQ(faults, before) << text;
  }
}

}  // namespace
}  // namespace zivivar::sim
