// The choice of the port access for the run, made once at start-up after the
// settings are loaded: the simulator when the settings ask for it; else the
// parallel port through its device file (ppdev), found by its base address
// PortAdress or named by ParportDevice; else direct port access (ioperm)
// where the process may; else demo mode, with a message that says what is
// missing.
//
// Start-up, in short:
//   LinuxPortAccessSystem system(services);
//   PortAccessChoice access = PreparePortAccess(settings, system, services);
//   if (access.kind == PortAccessKind::kSimulator) { build the simulator, link.SetPortIo(it); }
//   else if (access.io) link.SetPortIo(*access.io);
//   else demo mode.
// Keep the choice (and so its PortIo) alive as long as the link uses it; after
// the preferences, RenewPortAccess follows a changed PortAdress.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "config/settings.h"
#include "hw/port_access_system.h"
#include "hw/port_io.h"
#include "services/services.h"

namespace zivivar {

enum class PortAccessKind {
  kSimulator,  // the caller builds the simulated adapter (Simulator=1)
  kPpdev,      // io drives the port through its device file
  kDirect,     // io drives the port with direct I/O after ioperm
  kDemo,       // no port access: demo mode
};

struct PortAccessChoice {
  PortAccessKind kind = PortAccessKind::kDemo;
  std::unique_ptr<PortIo> io;  // for kPpdev and kDirect; null otherwise
  std::string device;          // device file used (kPpdev), or the one that was meant
  uint32_t base = 0;           // I/O base address reached (kPpdev, kDirect)
  uint16_t link_base = 0;      // PortAdress at the choice: the addresses io answers
  // kDemo: the message for the user, naming the port, the device file and
  // what is missing. Otherwise a one-line description of the access.
  std::string message;
  int os_kind = 0;           // always 0 here: no system needs special priority rules
  std::string version_name;  // system name and release
};

// Chooses the access without telling the user anything; the message is
// worded in the language of services (German without).
PortAccessChoice ChoosePortAccess(const Settings& settings, PortAccessSystem& system,
                                  const Services* services = nullptr);

// The start-up step: chooses, shows the demo message when there is no port
// access, and with DebugNT 1 shows in plain boxes which access was chosen
// and the version name.
PortAccessChoice PreparePortAccess(const Settings& settings, PortAccessSystem& system,
                                   Services& services);

// True when PortAdress differs from the addresses that the io of a real
// access answers (the user chose another port in the preferences): the
// caller then drops the old choice, which releases its port, and prepares the
// access again. Always false for the simulator and for demo mode.
bool PortAccessNeedsRenewal(const PortAccessChoice& choice, const Settings& settings);

// After the preferences: when PortAccessNeedsRenewal, releases the old port
// first (one port cannot be claimed twice) and prepares the access again, with
// the messages of PreparePortAccess. Returns true when it did; the caller then
// points the link at the new io, or goes into demo mode.
bool RenewPortAccess(PortAccessChoice& choice, const Settings& settings, PortAccessSystem& system,
                     Services& services);

}  // namespace zivivar
