#include "cli/exit_status.h"

#include <array>
#include <cstdio>

namespace zivivar {
namespace {

struct ExitEntry {
  CommandResult result;
  int status;
};

// One status per result: the result's own number.
constexpr std::array<ExitEntry, 22> kExitTable = {{
    {CommandResult::kOk, kExitOk},
    {CommandResult::kFileNotLoaded, 3},
    {CommandResult::kFileNotSaved, 4},
    {CommandResult::kBlankCheckAborted, 5},
    {CommandResult::kVerifyNotPassed, 6},
    {CommandResult::kProgrammingFailed, 7},
    {CommandResult::kNoAdapter, 8},
    {CommandResult::kAdapterLost, 10},
    {CommandResult::kNoChipAnswer, 11},
    {CommandResult::kDeviceNotBlank, 12},
    {CommandResult::kDeviceNotLoaded, 13},
    {CommandResult::kCancelled, 14},
    {CommandResult::kLocksIneffective, 15},
    {CommandResult::kEraseNotConfirmed, 20},
    {CommandResult::kDemoMode, 21},
    {CommandResult::kBusy, 22},
    {CommandResult::kSimStateUnusable, 23},
    {CommandResult::kSimStateNotSaved, 24},
    {CommandResult::kEepromNotReachable, 25},
    {CommandResult::kOutputExists, 26},
    {CommandResult::kSignatureMismatch, 27},
    {CommandResult::kInterrupted, 130},
}};

}  // namespace

int ExitStatus(CommandResult result) {
  for (const ExitEntry& entry : kExitTable) {
    if (entry.result == result)
      return entry.status;
  }
  return 1;
}

std::string ExitStatusHelp() {
  std::string text;
  char line[96];
  for (const ExitEntry& entry : kExitTable) {
    std::snprintf(line, sizeof line, "%4d  %s\n", entry.status, CommandResultText(entry.result));
    text += line;
    if (entry.status == kExitOk) {
      std::snprintf(line, sizeof line, "%4d  %s\n", kExitUsage, "usage error");
      text += line;
    }
  }
  return text;
}

}  // namespace zivivar
