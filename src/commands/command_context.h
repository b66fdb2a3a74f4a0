// What every device command needs of the run: the link to the adapter, the
// services, the image buffer and the run's surroundings. The front end's
// composition root builds it; the references must outlive every command
// that is given it.
#pragma once

#include <functional>

#include "datafiles/image_buffer.h"
#include "programmer/port_link.h"
#include "services/services.h"

namespace zivivar {

struct CommandContext {
  PortLink& link;
  Services& services;
  ImageBuffer& image;
  // The operating system's kind, for PortLink::RaisePriority.
  int os_kind = 0;
  // Runs after the work of every device command (the simulator keeps its
  // chip in its state file); may be empty.
  std::function<void()> after_work;
};

// The end of every device command, whatever became of it: the cancel button
// off, the cancel flag cleared, the idle status text.
void FinishCommand(Services& services);

}  // namespace zivivar
