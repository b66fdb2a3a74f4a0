// A machine without parallel ports and without direct port access: every
// port access fails.
#pragma once

#include <string>
#include <vector>

#include "hw/port_access_system.h"

namespace zivivar::testing {

class NoPortSystem : public PortAccessSystem {
 public:
  std::vector<ParportInfo> ListParports() override { return {}; }
  PortOpenResult OpenPpdev(const std::string&, uint16_t) override { return {nullptr, "open", 2}; }
  PortOpenResult OpenDirect(uint32_t, uint16_t) override { return {nullptr, "ioperm", 1}; }
  std::string SystemName() override { return "Linux test"; }
};

}  // namespace zivivar::testing
