// The parallel port through the kernel's parallel-port device (/dev/parportN,
// ppdev): claimed when opened and held until the object goes, so that no
// other program or driver drives the port in the middle of a command.
#pragma once

#include <cstdint>
#include <string>

#include "hw/port_access_system.h"
#include "hw/port_io.h"
#include "services/services.h"

namespace zivivar {

class PpdevPort : public PortIo {
 public:
  // Opens device, claims the port and sets the data lines to output. When
  // another program or driver holds the port, the claim gives up after three
  // seconds with EBUSY instead of waiting for ever. The
  // port answers the link's addresses link_base (data), + 1 (status) and
  // + 2 (control). report, when given, must outlive the port: the first
  // failing call during the run is told there once (the handshake then
  // times out and says the rest).
  static PortOpenResult Open(const std::string& device, uint16_t link_base, Services* report);

  // Releases the port and closes the device.
  ~PpdevPort() override;
  PpdevPort(const PpdevPort&) = delete;
  PpdevPort& operator=(const PpdevPort&) = delete;

  // Data and control are written; a write to any other address is ignored.
  void Out(uint16_t port, uint8_t value) override;
  // Data, status and control are read; other addresses and failed reads give 0xFF.
  uint8_t In(uint16_t port) override;

  // The first call that failed since the port was opened, with its errno (0: none).
  const std::string& failed_call() const { return failed_call_; }
  int error() const { return error_; }

 private:
  PpdevPort(int fd, std::string device, uint16_t link_base, Services* report);
  // ioctl, repeated when a signal interrupted it; errno on failure, else 0.
  int Control(unsigned long request, void* argument);
  void Fail(const char* call, int error);

  int fd_;
  std::string device_;
  uint16_t link_base_;
  Services* report_;
  std::string failed_call_;
  int error_ = 0;
};

}  // namespace zivivar
