#include "hw/linux_port_access_system.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>

#include "hw/direct_port.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {
namespace {

class LinuxPortAccessSystemTest : public ::testing::Test {
 protected:
  testing::TempDir dir;
  int beap = 0;
  testing::ScriptedServicesView view;
  Services services{view, beap};
  LinuxPortAccessSystem system{services, dir.File("proc"), dir.File("dev")};
};

TEST_F(LinuxPortAccessSystemTest, PortsAreListedWithTheirBaseInPortOrder) {
  EXPECT_TRUE(system.ListParports().empty());  // no parallel port support at all
  // "default" holds the defaults, no port; an unreadable base is no use by address.
  for (const auto& [name, base_addr] : {std::pair{"parport10", "53264\t53272\n"},
                                        {"parport0", "888\t1912\n"},
                                        {"parport2", "632\t-1\n"},
                                        {"default", ""},
                                        {"parport3", "unknown\n"}}) {
    std::filesystem::create_directories(dir.File("proc/") + name);
    if (*base_addr != '\0')
      dir.Write(std::string("proc/") + name + "/base-addr", base_addr);
  }
  std::string listed;
  for (const ParportInfo& port : system.ListParports()) {
    listed += port.device + " " + std::to_string(port.base) + "|";
  }
  const std::string dev = dir.File("dev");
  EXPECT_EQ(listed, dev + "/parport0 888|" + dev + "/parport2 632|" + dev + "/parport10 53264|");
}

TEST_F(LinuxPortAccessSystemTest, OpenFailuresNameTheCallThatFailed) {
  PortOpenResult result = system.OpenPpdev(dir.File("missing"), 0x378);
  EXPECT_EQ(std::tuple(result.io == nullptr, result.failed_call, result.error),
            std::tuple(true, "open", ENOENT));
  // A plain file opens but is no parallel port: the claim says so.
  result = system.OpenPpdev(dir.Write("parport0", ""), 0x378);
  EXPECT_EQ(std::tuple(result.io == nullptr, result.failed_call, result.error),
            std::tuple(true, "PPCLAIM", ENOTTY));
  // Registers beyond the I/O space are refused before any access.
  result = DirectPort::Open(0xFFFE, 0x378);
  EXPECT_EQ(std::tuple(result.io == nullptr, result.failed_call), std::tuple(true, "ioperm"));
  EXPECT_NE(result.error, 0);
  EXPECT_TRUE(view.messages.empty());
}

}  // namespace
}  // namespace zivivar
