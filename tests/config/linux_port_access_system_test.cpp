#include "config/linux_port_access_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "config/direct_port.h"
#include "config/ppdev_port.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {
namespace {

using testing::ScriptedServicesView;
using testing::TempDir;

class LinuxPortAccessSystemTest : public ::testing::Test {
 protected:
  void AddPort(const std::string& name, const std::string& base_addr) {
    mkdir(dir.File("proc/" + name).c_str(), 0755);
    if (!base_addr.empty())
      dir.Write("proc/" + name + "/base-addr", base_addr);
  }

  TempDir dir;
  int beap = 0;
  ScriptedServicesView view;
  Services services{view, beap};
};

TEST_F(LinuxPortAccessSystemTest, PortsAreListedWithTheirBaseInPortOrder) {
  ASSERT_EQ(mkdir(dir.File("proc").c_str(), 0755), 0);
  AddPort("parport10", "53264\t53272\n");
  AddPort("parport0", "888\t1912\n");
  AddPort("parport2", "632\t-1\n");
  AddPort("default", "");            // holds the defaults, no port
  AddPort("parport3", "unknown\n");  // unreadable base: not usable by address
  LinuxPortAccessSystem system(services, dir.File("proc"), "/dev");
  const std::vector<ParportInfo> ports = system.ListParports();
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[0].device, "/dev/parport0");
  EXPECT_EQ(ports[0].base, 0x378u);
  EXPECT_EQ(ports[1].device, "/dev/parport2");
  EXPECT_EQ(ports[1].base, 0x278u);
  EXPECT_EQ(ports[2].device, "/dev/parport10");
  EXPECT_EQ(ports[2].base, 0xD010u);
}

TEST_F(LinuxPortAccessSystemTest, WithoutParallelPortSupportTheListIsEmpty) {
  LinuxPortAccessSystem system(services, dir.File("no-such-dir"), "/dev");
  EXPECT_TRUE(system.ListParports().empty());
}

TEST_F(LinuxPortAccessSystemTest, PpdevFailuresNameTheCallThatFailed) {
  LinuxPortAccessSystem system(services, dir.File("proc"), dir.File("dev"));
  PortOpenResult result = system.OpenPpdev(dir.File("missing"), 0x378);
  EXPECT_FALSE(result.io);
  EXPECT_EQ(result.failed_call, "open");
  EXPECT_EQ(result.error, ENOENT);

  // A plain file opens but is no parallel port: the claim says so.
  result = system.OpenPpdev(dir.Write("parport0", ""), 0x378);
  EXPECT_FALSE(result.io);
  EXPECT_EQ(result.failed_call, "PPCLAIM");
  EXPECT_EQ(result.error, ENOTTY);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(LinuxPortAccessSystemTest, DirectAccessRefusesRegistersBeyondTheIoSpace) {
  const PortOpenResult result = DirectPort::Open(0xFFFE, 0x378);
  EXPECT_FALSE(result.io);
  EXPECT_EQ(result.failed_call, "ioperm");
  EXPECT_NE(result.error, 0);
}

TEST_F(LinuxPortAccessSystemTest, SystemNameIsNameAndRelease) {
  LinuxPortAccessSystem system(services);
  const std::string name = system.SystemName();
  EXPECT_EQ(name.rfind("Linux ", 0), 0u) << name;
  EXPECT_GT(name.size(), 6u);
}

}  // namespace
}  // namespace zivivar
