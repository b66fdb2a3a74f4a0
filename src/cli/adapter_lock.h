// The command-line tool's rule for runs side by side: two runs exclude each
// other only when they use the same adapter (the same parallel port, or the
// same simulated chip's state file), and a window's device command counts
// as a run on its adapter. A run that finds its adapter in use stops with
// kBusy, naming the holder, or waits for it.
#pragma once

#include <functional>
#include <string>

#include "cli/cli_language.h"
#include "commands/command_result.h"
#include "ui/process_locks.h"

namespace zivivar {

struct AdapterWait {
  bool wait = false;   // --wait
  bool quiet = false;  // -q: no line about the wait (the refusal is an error and is told)
  // Polled while waiting: true once the user asked to stop (Ctrl-C).
  std::function<bool()> interrupted;
  // Tells the user one line: why the run stops, or what it waits for.
  std::function<void(const std::string&)> report;
};

// Takes locks.adapter() for this process until the locks go. kOk also when
// the run has no adapter lock or no lock directory (the rule is dropped, not
// the run); kBusy after the report naming the adapter and its holder;
// kInterrupted when the user stopped the wait. The report is in the
// language of _.
CommandResult LockAdapter(ProcessLocks& locks, const AdapterWait& how, const CliText& _);

}  // namespace zivivar
