// The parallel port's registers reached with the processor's I/O
// instructions after ioperm, which only a privileged process (root, or
// CAP_SYS_RAWIO) gets. The last resort before demo mode.
#pragma once

#include <cstdint>

#include "hw/port_access_system.h"
#include "hw/port_io.h"

namespace zivivar {

class DirectPort : public PortIo {
 public:
  // Asks for the registers base..base + 2. The port answers the link's
  // addresses link_base.. and passes them on to base.. (they differ for a
  // card whose base lies above what PortAdress accepts). Fails with "ioperm"
  // and its errno; on processors without I/O instructions with ENOSYS.
  static PortOpenResult Open(uint32_t base, uint16_t link_base);

  // Gives the registers back.
  ~DirectPort() override;
  DirectPort(const DirectPort&) = delete;
  DirectPort& operator=(const DirectPort&) = delete;

  // Addresses outside the link's three are ignored (reads give 0xFF).
  void Out(uint16_t port, uint8_t value) override;
  uint8_t In(uint16_t port) override;

 private:
  DirectPort(uint16_t base, uint16_t link_base) : base_(base), link_base_(link_base) {}

  uint16_t base_;
  uint16_t link_base_;
};

}  // namespace zivivar
