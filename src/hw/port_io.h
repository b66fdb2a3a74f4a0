// The only hardware access of the system: one byte out to an I/O port, one
// byte in. Backends: the Linux parallel-port device (ppdev), direct I/O after
// ioperm, the simulated adapter, and recording fakes in the tests.
#pragma once

#include <cstdint>

namespace zivivar {

class PortIo {
 public:
  virtual ~PortIo() = default;
  // Writes value to the port at address port (base, base + 1 or base + 2).
  virtual void Out(uint16_t port, uint8_t value) = 0;
  // Reads the port at address port.
  virtual uint8_t In(uint16_t port) = 0;
};

}  // namespace zivivar
