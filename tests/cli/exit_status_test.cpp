#include "cli/exit_status.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace zivivar {
namespace {

TEST(ExitStatusTest, EveryResultHasAStatusOfItsOwnAndTheHelpListsIt) {
  std::set<int> seen = {kExitUsage};
  const std::string help = ExitStatusHelp();
  for (int i = 0; i < 256; ++i) {
    const auto result = static_cast<CommandResult>(i);
    if (std::string(CommandResultText(result)) == "unknown result")
      continue;
    const int status = ExitStatus(result);
    SCOPED_TRACE(CommandResultText(result));
    EXPECT_EQ(status == 0, result == CommandResult::kOk);
    EXPECT_TRUE(seen.insert(status).second) << status << " has two meanings";
    char line[16];
    std::snprintf(line, sizeof line, "%4d  ", status);
    EXPECT_NE(help.find(line), std::string::npos);
  }
}

}  // namespace
}  // namespace zivivar
