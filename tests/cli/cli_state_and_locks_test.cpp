// Where the simulated chip is kept, and which runs exclude each other.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "cli/cli_fixture.h"
#include "ui/process_locks.h"

namespace zivivar::testing {
namespace {

using ::testing::HasSubstr;

TEST_F(CliTest, TheSimulatedChipIsKeptPerKindInTheStateDirectoryUnlessAFileIsNamed) {
  const std::string states = dir_.File("state/zivivar/");
  const std::string ini = "[Hardware]\nSimState=mine.zvchip\n";  // in the -C directory
  const struct {
    std::string settings;
    std::vector<std::string> args;
    std::string kept_in;
  } cases[] = {
      // clang-format off
      {"", {"-d", "AT89S52"}, states + "at89s52.zvchip"},
      {"", {"-d", "AT89S8252"}, states + "at89s8252.zvchip"},
      {ini, {"-d", "AT89S52"}, dir_.File("mine.zvchip")},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kept_in);
    std::filesystem::remove_all(states);
    dir_.Write("KORVALNK.INI", c.settings);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--simulator", "-y", "erase"});
    EXPECT_EQ(Run(args).status, 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(c.kept_in));
    EXPECT_FALSE(dir_.Exists("zivivar-sim.bin")) << "never beside the library";
  }
}

TEST_F(CliTest, RunsExcludeEachOtherOnlyOnTheSameAdapterAndWaitForItWhenAsked) {
  const std::string chip_a = dir_.File("a.zvchip");
  const std::string chip_b = dir_.File("b.zvchip");
  auto run = [&](const std::string& chip, std::vector<std::string> args) {
    args.insert(args.begin(), {"--simulator", "--sim-state", chip, "-d", "AT89S52"});
    args.push_back("blank");
    return Run(args);
  };
  // Another run's hold on chip a, as a second process would have it.
  ProcessLocks other(dir_.path());
  other.SetAdapter(SimulatedChipAdapter(chip_a));
  ASSERT_EQ(other.adapter().Acquire("another run"), NamedLock::Result::kAcquired);

  const std::string busy = "zivivar-cli: the simulated chip in " + chip_a +
                           " is in use by another run; nothing was done (--wait waits for it)\n";
  const struct {
    std::string chip;
    std::vector<std::string> args;
    bool interrupt;
    int status;
    std::string err;
  } cases[] = {
      {chip_b, {}, false, 0, ""},
      {chip_a, {}, false, 22, busy},
      {chip_a,
       {"--wait"},
       true,
       130,
       "zivivar-cli: the simulated chip in " + chip_a +
           " is in use by another run; waiting\n"
           "zivivar-cli: interrupted\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chip + (c.interrupt ? " interrupted" : ""));
    interrupt_after_ = c.interrupt ? 0 : -1;
    const CliResult result = run(c.chip, c.args);
    EXPECT_EQ(result.status, c.status);
    if (c.status != 0) {
      EXPECT_EQ(result.err, c.err);
    }
  }
  interrupt_after_ = -1;

  // The other run ends while this one waits for it.
  on_poll_ = [&] { other.adapter().Release(); };
  CliResult result = run(chip_a, {"--wait"});
  EXPECT_EQ(result.status, 0) << result.err;
  on_poll_ = nullptr;
  other.adapter().Release();

  // A window's device command holds its adapter too, but no other one.
  other.AcquireCommandLocks();
  result = run(chip_a, {});
  EXPECT_EQ(result.status, 22);
  EXPECT_THAT(result.err,
              HasSubstr("in use by the zivivar window (process " + std::to_string(getpid()) + ")"));
  EXPECT_EQ(run(chip_b, {}).status, 0) << "the window's busy lock is the window's own rule";
}

}  // namespace
}  // namespace zivivar::testing
