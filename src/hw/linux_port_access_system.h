// The port-access system of a Linux machine: the parallel ports and their
// base addresses from /proc/sys/dev/parport, ppdev for claimed access,
// ioperm for direct access, uname for the system's name.
#pragma once

#include <string>
#include <vector>

#include "hw/port_access_system.h"
#include "services/services.h"

namespace zivivar {

class LinuxPortAccessSystem : public PortAccessSystem {
 public:
  // services must outlive the ports opened here: failures during the run are
  // told there. proc_dir and dev_dir are where the ports are listed and where
  // their device files live (other directories only in tests).
  explicit LinuxPortAccessSystem(Services& services, std::string proc_dir = "/proc/sys/dev/parport",
                                 std::string dev_dir = "/dev");

  // Every subdirectory of proc_dir whose "base-addr" begins with a decimal
  // number is a port; its device is dev_dir + "/" + the directory's name.
  // Sorted by port number.
  std::vector<ParportInfo> ListParports() override;
  PortOpenResult OpenPpdev(const std::string& device, uint16_t link_base) override;
  PortOpenResult OpenDirect(uint32_t base, uint16_t link_base) override;
  std::string SystemName() override;

 private:
  Services& services_;
  std::string proc_dir_;
  std::string dev_dir_;
};

}  // namespace zivivar
