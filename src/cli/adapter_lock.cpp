#include "cli/adapter_lock.h"

#include <unistd.h>

namespace zivivar {

CommandResult LockAdapter(ProcessLocks& locks, const AdapterWait& how, const CliText& _) {
  NamedLock& lock = locks.adapter();
  const std::string me = "zivivar-cli (process " + std::to_string(getpid()) + ")";
  if (lock.Acquire(me) != NamedLock::Result::kHeldElsewhere)
    return CommandResult::kOk;
  const std::string holder = lock.Holder();
  const std::string in_use = Printf(_("%s is in use by %s"), locks.adapter_id().description.c_str(),
                                    holder.empty() ? _("another run") : holder.c_str());
  if (!how.wait) {
    how.report(in_use + _("; nothing was done (--wait waits for it)"));
    return CommandResult::kBusy;
  }
  if (!how.quiet)
    how.report(in_use + _("; waiting"));
  bool stopped = false;
  lock.AcquireWaiting(
      [&] {
        stopped = how.interrupted && how.interrupted();
        return stopped;
      },
      me);
  return stopped ? CommandResult::kInterrupted : CommandResult::kOk;
}

}  // namespace zivivar
