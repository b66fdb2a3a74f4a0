#include "cli/exit_status.h"

#include <array>

namespace zivivar {
namespace {

struct ExitEntry {
  CommandResult result;
  int status;
  // What the status tells a script, as the help text lists it.
  const char* meaning;
};

// One status per result: the result's own number. Usage errors (2) come
// from the command line itself.
constexpr std::array<ExitEntry, 22> kExitTable = {{
    {CommandResult::kOk, kExitOk, "success"},
    {CommandResult::kFileNotLoaded, 3, "a data file could not be read or is not valid"},
    {CommandResult::kFileNotSaved, 4, "a data file could not be written; an old one is kept"},
    {CommandResult::kBlankCheckAborted, 5, "blank check stopped before its verdict"},
    {CommandResult::kVerifyNotPassed, 6, "verify found differences"},
    {CommandResult::kProgrammingFailed, 7, "programming failed (a byte read back wrong)"},
    {CommandResult::kNoAdapter, 8, "adapter not found"},
    {CommandResult::kAdapterLost, 10, "adapter stopped answering"},
    {CommandResult::kNoChipAnswer, 11, "no chip answered (empty socket?)"},
    {CommandResult::kDeviceNotBlank, 12, "device not blank"},
    {CommandResult::kDeviceNotLoaded, 13, "device or library not found"},
    {CommandResult::kCancelled, 14, "cancelled (window only)"},
    {CommandResult::kLocksIneffective, 15, "lock bits without effect"},
    {CommandResult::kEraseNotConfirmed, 20, "erase declined (confirm with -y)"},
    {CommandResult::kDemoMode, 21, "no access to the parallel port"},
    {CommandResult::kBusy, 22, "busy: another run uses the same adapter or simulated chip"},
    {CommandResult::kSimStateUnusable, 23, "the simulator's state file holds no chip state"},
    {CommandResult::kSimStateNotSaved, 24, "the simulated chip could not be saved"},
    {CommandResult::kEepromNotReachable, 25, "EEPROM not reachable in this instruction format"},
    {CommandResult::kOutputExists, 26, "output file exists and --no-clobber keeps it"},
    {CommandResult::kSignatureMismatch, 27, "the chip's signature names another device"},
    {CommandResult::kInterrupted, 130,
     "interrupted (Ctrl-C): programming mode left, no file half-written"},
}};

}  // namespace

int ExitStatus(CommandResult result) {
  for (const ExitEntry& entry : kExitTable) {
    if (entry.result == result)
      return entry.status;
  }
  return 1;
}

std::string ExitStatusHelp(const CliText& _) {
  std::string text;
  for (const ExitEntry& entry : kExitTable) {
    text += Printf("%4d  %s\n", entry.status, _(entry.meaning));
    if (entry.status == kExitOk)
      text += Printf("%4d  %s\n", kExitUsage, _("usage error"));
  }
  return text;
}

}  // namespace zivivar
