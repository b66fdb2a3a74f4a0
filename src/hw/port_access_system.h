// What the choice of the port access needs from the operating system, behind
// one small interface so that the choice can be tested with a fake: the list
// of parallel ports with their base addresses, opening a port through the
// parallel-port device (ppdev), direct port access (ioperm), and the system's
// name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hw/port_io.h"

namespace zivivar {

// A parallel port the kernel knows.
struct ParportInfo {
  std::string device;  // its device file, "/dev/parport0"
  uint32_t base = 0;   // I/O base address of its data register
};

// Outcome of opening a port backend.
struct PortOpenResult {
  std::unique_ptr<PortIo> io;  // the open backend, or null on failure
  std::string failed_call;     // on failure the call that failed: "open", "PPCLAIM", "ioperm", ...
  int error = 0;               // and its errno
};

class PortAccessSystem {
 public:
  virtual ~PortAccessSystem() = default;

  // The parallel ports with a known base address; empty when there are none
  // or the kernel has no parallel-port support loaded.
  virtual std::vector<ParportInfo> ListParports() = 0;

  // Opens device and claims the port for as long as the returned PortIo
  // lives. The PortIo answers the link's addresses link_base (data),
  // link_base + 1 (status) and link_base + 2 (control).
  virtual PortOpenResult OpenPpdev(const std::string& device, uint16_t link_base) = 0;

  // Direct access to the registers at base..base + 2, for as long as the
  // returned PortIo lives; it answers the link's addresses link_base.. and
  // passes them on to base.. . Only a privileged process may.
  virtual PortOpenResult OpenDirect(uint32_t base, uint16_t link_base) = 0;

  // The system's name and release, "Linux 6.1.0-18-amd64"; empty when unknown.
  virtual std::string SystemName() = 0;
};

}  // namespace zivivar
