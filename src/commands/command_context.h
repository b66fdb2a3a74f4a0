// What every device command needs of the run: the link to the adapter, the
// services, the image buffer and the run's surroundings. The front end's
// composition root builds it; the references must outlive every command
// that is given it.
#pragma once

#include <functional>
#include <string>

#include "commands/command_result.h"
#include "datafiles/image_buffer.h"
#include "programmer/device_operations.h"
#include "programmer/port_link.h"
#include "services/services.h"

namespace zivivar {

struct CommandContext {
  PortLink& link;
  Services& services;
  ImageBuffer& image;
  // The operating system's kind, for PortLink::RaisePriority.
  int os_kind = 0;
  // Keeps the chip after a command changed it (the simulator writes its
  // state file): kOk, or the failure after its message. Empty: nothing to keep.
  std::function<CommandResult()> keep_chip;
  // True for a file that a read-out must not write (the simulator's state
  // file), after telling the user so. Empty: every file may be written.
  std::function<bool(const std::string& path)> refuse_target;
  // What verify and read-out send (setting FastProfile, --fast/--exact).
  Profile profile = Profile::kExact;
};

// The end of every device command, whatever became of it: the cancel button
// off, the cancel flag cleared, the idle status text.
void FinishCommand(Services& services);

}  // namespace zivivar
