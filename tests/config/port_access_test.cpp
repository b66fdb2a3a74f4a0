#include "config/port_access.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

using testing::ScriptedServicesView;

// A port backend that only knows where it came from.
class TaggedIo : public PortIo {
 public:
  explicit TaggedIo(std::string from) : tag(std::move(from)) { ++live; }
  ~TaggedIo() override { --live; }
  void Out(uint16_t, uint8_t) override {}
  uint8_t In(uint16_t) override { return 0xFF; }
  std::string tag;
  static inline int live = 0;  // backends not yet released
};

class FakePortSystem : public PortAccessSystem {
 public:
  std::vector<ParportInfo> ListParports() override { return ports; }
  PortOpenResult OpenPpdev(const std::string& device, uint16_t link_base) override {
    calls.push_back("ppdev " + device + " " + std::to_string(link_base));
    if (on_open)
      on_open();
    return Result(ppdev_failures.count(device) ? ppdev_failures[device] : Failure{},
                  "ppdev " + device);
  }
  PortOpenResult OpenDirect(uint32_t base, uint16_t link_base) override {
    calls.push_back("direct " + std::to_string(base) + " " + std::to_string(link_base));
    return Result(direct_failure, "direct");
  }
  std::string SystemName() override { return "Linux 6.1.0-test"; }

  struct Failure {
    std::string call;
    int error = 0;
  };
  std::vector<ParportInfo> ports;
  std::map<std::string, Failure> ppdev_failures;
  Failure direct_failure{"ioperm", EPERM};
  std::vector<std::string> calls;
  std::function<void()> on_open;

 private:
  static PortOpenResult Result(const Failure& failure, const std::string& tag) {
    PortOpenResult result;
    if (failure.error != 0) {
      result.failed_call = failure.call;
      result.error = failure.error;
    } else {
      result.io = std::make_unique<TaggedIo>(tag);
    }
    return result;
  }
};

std::string TagOf(const PortAccessChoice& choice) {
  const auto* io = dynamic_cast<const TaggedIo*>(choice.io.get());
  return io == nullptr ? "" : io->tag;
}

class PortAccessTest : public ::testing::Test {
 protected:
  PortAccessTest() {
    settings.PortAdress = 0x378;
    settings.sim_state_path = "/tmp/cfg/zivivar-sim.bin";
    system.ports = {{"/dev/parport0", 0x3BC}, {"/dev/parport1", 0x378}, {"/dev/parport2", 0xD010}};
  }
  PortAccessChoice Prepare() { return PreparePortAccess(settings, system, services); }

  Settings settings;
  FakePortSystem system;
  int beap = 1;
  ScriptedServicesView view;
  Services services{view, beap};
};

TEST_F(PortAccessTest, SimulatorIsChosenWithoutTouchingAnyPort) {
  settings.Simulator = 1;
  settings.ParportDevice = "/dev/parport0";
  settings.DebugNT = 1;
  const PortAccessChoice choice = Prepare();
  EXPECT_EQ(choice.kind, PortAccessKind::kSimulator);
  EXPECT_FALSE(choice.io);
  EXPECT_TRUE(system.calls.empty());
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[0].kind, MessageKind::kPlain);
  EXPECT_EQ(view.messages[0].text,
            "Portzugriff: Simulator (Zustandsdatei /tmp/cfg/zivivar-sim.bin)");
  EXPECT_EQ(view.messages[1].text, "Linux 6.1.0-test");
  EXPECT_EQ(view.beeps, 0);
}

TEST_F(PortAccessTest, PpdevDeviceIsFoundByItsBaseAddressSilently) {
  const PortAccessChoice choice = Prepare();
  EXPECT_EQ(choice.kind, PortAccessKind::kPpdev);
  EXPECT_EQ(TagOf(choice), "ppdev /dev/parport1");
  EXPECT_EQ(choice.device, "/dev/parport1");
  EXPECT_EQ(choice.base, 0x378u);
  EXPECT_EQ(choice.link_base, 0x378);
  EXPECT_EQ(choice.os_kind, 0);
  EXPECT_EQ(choice.version_name, "Linux 6.1.0-test");
  EXPECT_EQ(system.calls, std::vector<std::string>{"ppdev /dev/parport1 888"});
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(PortAccessTest, NamedDeviceTakesPrecedenceOverTheAddress) {
  settings.ParportDevice = "parport2";  // short for /dev/parport2
  settings.DebugNT = 1;
  const PortAccessChoice choice = Prepare();
  EXPECT_EQ(choice.kind, PortAccessKind::kPpdev);
  EXPECT_EQ(TagOf(choice), "ppdev /dev/parport2");
  EXPECT_EQ(choice.base, 0xD010u);
  EXPECT_EQ(system.calls, std::vector<std::string>{"ppdev /dev/parport2 888"});
  ASSERT_EQ(view.messages.size(), 2u);
  EXPECT_EQ(view.messages[0].text,
            "Portzugriff: /dev/parport2 über ppdev, Portadresse 0x378, Basisadresse 0xD010");
}

TEST_F(PortAccessTest, RefusedNamedDeviceFallsBackToDirectAccessAtItsOwnBase) {
  settings.ParportDevice = "/dev/parport2";
  system.ppdev_failures["/dev/parport2"] = {"open", EACCES};
  system.direct_failure = {};
  const PortAccessChoice choice = Prepare();
  EXPECT_EQ(choice.kind, PortAccessKind::kDirect);
  EXPECT_EQ(TagOf(choice), "direct");
  EXPECT_EQ(choice.base, 0xD010u);
  EXPECT_EQ(system.calls,
            (std::vector<std::string>{"ppdev /dev/parport2 888", "direct 53264 888"}));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(PortAccessTest, NamedDeviceOfUnknownBaseIsNotReachedDirectly) {
  settings.ParportDevice = "/dev/my-adapter";
  system.ppdev_failures["/dev/my-adapter"] = {"open", ENOENT};
  const PortAccessChoice choice = Prepare();
  EXPECT_EQ(choice.kind, PortAccessKind::kDemo);
  EXPECT_EQ(system.calls, std::vector<std::string>{"ppdev /dev/my-adapter 888"});
  EXPECT_EQ(choice.message,
            "Kein Zugriff auf die parallele Schnittstelle /dev/my-adapter.\n\n"
            "/dev/my-adapter (ppdev): open: nicht vorhanden (No such file or directory)\n\n"
            "Die Gerätedatei /dev/my-adapter fehlt: Kernelmodul 'ppdev' laden (sudo modprobe "
            "ppdev).\n\nProgramm geht in den Demomodus.");
}

TEST_F(PortAccessTest, RefusedPpdevThenRefusedIopermGivesDemoModeNamingDeviceAndGroup) {
  system.ppdev_failures["/dev/parport1"] = {"open", EACCES};
  settings.DebugNT = 1;
  const PortAccessChoice choice = Prepare();
  EXPECT_EQ(choice.kind, PortAccessKind::kDemo);
  EXPECT_FALSE(choice.io);
  EXPECT_EQ(system.calls, (std::vector<std::string>{"ppdev /dev/parport1 888", "direct 888 888"}));
  const std::string expected =
      "Kein Zugriff auf die parallele Schnittstelle mit der Portadresse 0x378.\n\n"
      "/dev/parport1 (ppdev): open: Zugriff verweigert (Permission denied)\n"
      "Direkter Portzugriff (ioperm): ioperm: Zugriff verweigert (Operation not permitted)\n\n"
      "Es fehlt das Lese- und Schreibrecht auf /dev/parport1.\n"
      "Abhilfe: den Benutzer in die Gruppe 'lp' aufnehmen\n"
      "(sudo usermod -a -G lp BENUTZERNAME) und neu anmelden.\n"
      "Direkter Portzugriff ist nur mit Root-Rechten möglich.\n\n"
      "Programm geht in den Demomodus.";
  EXPECT_EQ(choice.message, expected);
  ASSERT_EQ(view.messages.size(), 3u);
  EXPECT_EQ(view.messages[0].kind, MessageKind::kOk);
  EXPECT_EQ(view.messages[0].caption, "Meldung");
  EXPECT_EQ(view.messages[0].text, expected);
  EXPECT_EQ(view.messages[1].kind, MessageKind::kPlain);
  EXPECT_EQ(view.messages[1].text, "Portzugriff: keiner (Demomodus)");
  EXPECT_EQ(view.messages[2].text, "Linux 6.1.0-test");
}

TEST_F(PortAccessTest, BusyPortIsNamedAsSuch) {
  system.ppdev_failures["/dev/parport1"] = {"PPCLAIM", EBUSY};
  const PortAccessChoice choice = Prepare();
  EXPECT_EQ(choice.kind, PortAccessKind::kDemo);
  EXPECT_NE(choice.message.find("/dev/parport1 (ppdev): PPCLAIM: wird schon benutzt"),
            std::string::npos);
  EXPECT_NE(choice.message.find("/dev/parport1 wird von einem anderen Programm oder Treiber"),
            std::string::npos);
  EXPECT_EQ(choice.message.find("Gruppe 'lp' aufnehmen"), std::string::npos);
}

TEST_F(PortAccessTest, AddressWithoutAPortIsStillTriedDirectly) {
  settings.PortAdress = 0x278;
  system.direct_failure = {};
  PortAccessChoice choice = Prepare();
  EXPECT_EQ(choice.kind, PortAccessKind::kDirect);
  EXPECT_EQ(choice.base, 0x278u);
  EXPECT_EQ(system.calls, std::vector<std::string>{"direct 632 632"});

  system.direct_failure = {"ioperm", EPERM};
  choice = Prepare();
  EXPECT_EQ(choice.kind, PortAccessKind::kDemo);
  EXPECT_NE(choice.message.find("Kein Zugriff auf die parallele Schnittstelle mit der "
                                "Portadresse 0x278.\n\nDas System kennt keine parallele "
                                "Schnittstelle mit dieser Adresse.\nBekannt sind: /dev/parport0 "
                                "(0x3BC) /dev/parport1 (0x378) /dev/parport2 (0xD010)\n"),
            std::string::npos)
      << choice.message;
  EXPECT_NE(choice.message.find("(Gruppe 'lp')"), std::string::npos);
}

TEST_F(PortAccessTest, NoParallelPortAtAllPointsToTheKernelModules) {
  system.ports.clear();
  const PortAccessChoice choice = Prepare();
  EXPECT_EQ(choice.kind, PortAccessKind::kDemo);
  EXPECT_NE(
      choice.message.find("es meldet überhaupt keine (Kernelmodule 'parport_pc' und 'ppdev')"),
      std::string::npos);
}

TEST_F(PortAccessTest, RenewalFollowsAChangedAddressAfterReleasingTheOldPort) {
  PortAccessChoice choice = Prepare();
  ASSERT_EQ(choice.kind, PortAccessKind::kPpdev);
  EXPECT_FALSE(PortAccessNeedsRenewal(choice, settings));
  EXPECT_FALSE(RenewPortAccess(choice, settings, system, services));
  EXPECT_EQ(TagOf(choice), "ppdev /dev/parport1");

  settings.PortAdress = 0x3BC;
  EXPECT_TRUE(PortAccessNeedsRenewal(choice, settings));
  const int held = TaggedIo::live;  // the current choice's port among them
  system.on_open = [held] { EXPECT_EQ(TaggedIo::live, held - 1) << "old port still held"; };
  EXPECT_TRUE(RenewPortAccess(choice, settings, system, services));
  EXPECT_EQ(TagOf(choice), "ppdev /dev/parport0");
  EXPECT_EQ(choice.link_base, 0x3BC);
  EXPECT_FALSE(PortAccessNeedsRenewal(choice, settings));

  PortAccessChoice demo;
  demo.kind = PortAccessKind::kDemo;
  EXPECT_FALSE(PortAccessNeedsRenewal(demo, settings));
  PortAccessChoice sim;
  sim.kind = PortAccessKind::kSimulator;
  EXPECT_FALSE(PortAccessNeedsRenewal(sim, settings));
}

}  // namespace
}  // namespace zivivar
