#include "config/port_access.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using Texts = std::vector<std::string>;

class FakeIo : public PortIo {
 public:
  FakeIo() { ++live; }
  ~FakeIo() override { --live; }
  void Out(uint16_t, uint8_t) override {}
  uint8_t In(uint16_t) override { return 0xFF; }
  static inline int live = 0;  // backends not yet released
};

// Three ports; every attempt is recorded, and opens unless failures name it
// (a device file, or "direct") with the call that fails and its errno.
class FakePortSystem : public PortAccessSystem {
 public:
  std::vector<ParportInfo> ListParports() override { return ports; }
  PortOpenResult OpenPpdev(const std::string& device, uint16_t link_base) override {
    calls.push_back("ppdev " + device + " " + std::to_string(link_base));
    if (on_open)
      on_open();
    return Result(failures[device]);
  }
  PortOpenResult OpenDirect(uint32_t base, uint16_t link_base) override {
    calls.push_back("direct " + std::to_string(base) + " " + std::to_string(link_base));
    return Result(failures["direct"]);
  }
  std::string SystemName() override { return "Linux 6.1.0-test"; }

  std::vector<ParportInfo> ports = {
      {"/dev/parport0", 0x3BC}, {"/dev/parport1", 0x378}, {"/dev/parport2", 0xD010}};
  std::map<std::string, std::pair<std::string, int>> failures = {{"direct", {"ioperm", EPERM}}};
  Texts calls;
  std::function<void()> on_open;

 private:
  static PortOpenResult Result(const std::pair<std::string, int>& failure) {
    return {failure.second == 0 ? std::make_unique<FakeIo>() : nullptr, failure.first,
            failure.second};
  }
};

class PortAccessTest : public ::testing::Test {
 protected:
  PortAccessTest() {
    settings.PortAdress = 0x378;
    settings.sim_state_path = "/tmp/cfg/zivivar-sim.bin";
  }
  PortAccessChoice Prepare() { return PreparePortAccess(settings, system, services); }

  Settings settings;
  FakePortSystem system;
  int beap = 1;
  testing::ScriptedServicesView view;
  Services services{view, beap};
};

TEST_F(PortAccessTest, SimulatorIsChosenWithoutTouchingAnyPort) {
  settings.Simulator = 1;
  settings.ParportDevice = "/dev/parport0";
  settings.DebugNT = 1;
  const PortAccessChoice choice = Prepare();
  EXPECT_EQ(std::tuple(choice.kind, choice.io == nullptr, system.calls.empty()),
            std::tuple(PortAccessKind::kSimulator, true, true));
}

TEST_F(PortAccessTest, NamedDeviceTakesPrecedenceAndIsReachedDirectlyAtItsOwnBase) {
  settings.ParportDevice = "parport2";  // short for /dev/parport2
  PortAccessChoice choice = Prepare();
  EXPECT_EQ(std::tuple(choice.kind, choice.base), std::tuple(PortAccessKind::kPpdev, 0xD010u));
  system.failures = {{"/dev/parport2", {"open", EACCES}}};
  choice = Prepare();
  EXPECT_EQ(std::tuple(choice.kind, choice.base), std::tuple(PortAccessKind::kDirect, 0xD010u));
  EXPECT_EQ(system.calls,
            (Texts{"ppdev /dev/parport2 888", "ppdev /dev/parport2 888", "direct 53264 888"}));
}

TEST_F(PortAccessTest, RefusedPpdevThenRefusedIopermGivesDemoModeNamingTheCause) {
  system.failures["/dev/parport1"] = {"open", EACCES};
  const PortAccessChoice choice = Prepare();
  EXPECT_EQ(std::tuple(choice.kind, choice.io == nullptr), std::tuple(PortAccessKind::kDemo, true));
  EXPECT_EQ(system.calls, (Texts{"ppdev /dev/parport1 888", "direct 888 888"}));
  const std::string expected =
      "Kein Zugriff auf die parallele Schnittstelle mit der Portadresse 0x378.\n\n"
      "/dev/parport1 (ppdev): open: Zugriff verweigert (Permission denied)\n"
      "Direkter Portzugriff (ioperm): ioperm: Zugriff verweigert (Operation not permitted)\n\n"
      "Es fehlt das Lese- und Schreibrecht auf /dev/parport1.\n"
      "Abhilfe: den Benutzer in die Gruppe 'lp' aufnehmen\n"
      "(sudo usermod -a -G lp BENUTZERNAME) und neu anmelden.\n"
      "Direkter Portzugriff ist nur mit Root-Rechten möglich.\n\n"
      "Programm geht in den Demomodus.";
  EXPECT_EQ(view.Texts(), Texts{expected});
}

// Each other way to fail names its cause and its remedy: named device,
// address, errno of the ppdev attempt, part of the message.
TEST_F(PortAccessTest, EveryFailureNamesItsCause) {
  const std::tuple<std::string, uint32_t, int, std::string> cases[] = {
      {"/dev/my-adapter", 0x378, ENOENT, "/dev/my-adapter fehlt: Kernelmodul 'ppdev' laden"},
      {"", 0x378, EBUSY, "/dev/parport1 wird von einem anderen Programm oder Treiber"},
      {"", 0x278, 0,
       "Bekannt sind: /dev/parport0 (0x3BC) /dev/parport1 (0x378) /dev/parport2 (0xD010)\nDirekter "
       "Portzugriff (ioperm): ioperm: Zugriff verweigert (Operation not permitted)\n\nDie "
       "Portadresse in den PREFS prüfen"}};
  for (const auto& [device, address, error, part] : cases) {
    settings.ParportDevice = device;
    settings.PortAdress = address;
    system.failures = {{"direct", {"ioperm", EPERM}}, {"/dev/parport1", {"PPCLAIM", error}}};
    system.failures[device] = {"open", error};
    system.calls.clear();
    const std::string message = Prepare().message;
    EXPECT_THAT(message, HasSubstr(part));
    EXPECT_THAT(message, Not(HasSubstr("Gruppe 'lp' aufnehmen"))) << part;
  }
  // A named device of unknown base is not tried directly; an address without a port is.
  EXPECT_EQ(system.calls, Texts{"direct 632 632"});
  system.ports.clear();
  EXPECT_THAT(Prepare().message,
              HasSubstr("es meldet überhaupt keine (Kernelmodule 'parport_pc' und 'ppdev')"));
}

TEST_F(PortAccessTest, PpdevIsFoundByItsBaseAddressSilentlyAndFollowsAChangedAddress) {
  PortAccessChoice choice = Prepare();
  EXPECT_EQ(std::tuple(choice.kind, choice.device, choice.link_base),
            std::tuple(PortAccessKind::kPpdev, "/dev/parport1", uint16_t{0x378}));
  EXPECT_EQ(system.calls, Texts{"ppdev /dev/parport1 888"});
  EXPECT_TRUE(view.messages.empty());
  // Renewed after releasing the old port.
  EXPECT_FALSE(RenewPortAccess(choice, settings, system, services));
  settings.PortAdress = 0x3BC;
  EXPECT_TRUE(PortAccessNeedsRenewal(choice, settings));
  const int held = FakeIo::live;  // the current choice's port among them
  system.on_open = [held] { EXPECT_EQ(FakeIo::live, held - 1) << "old port still held"; };
  EXPECT_TRUE(RenewPortAccess(choice, settings, system, services));
  EXPECT_EQ(std::tuple(choice.device, choice.link_base), std::tuple("/dev/parport0", 0x3BC));
  EXPECT_FALSE(PortAccessNeedsRenewal(choice, settings));
  EXPECT_FALSE(PortAccessNeedsRenewal(PortAccessChoice{}, settings));  // no port to follow
}

}  // namespace
}  // namespace zivivar
