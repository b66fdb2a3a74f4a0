#include "config/port_access.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

#include "common/errno_text.h"

namespace zivivar {

namespace {

struct Attempt {
  bool ppdev;        // else direct access
  std::string call;  // the call that failed
  int error;
};

std::string HexAddress(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

// "parport1" is short for "/dev/parport1".
std::string DeviceFile(const std::string& name) {
  return name.find('/') == std::string::npos ? "/dev/" + name : name;
}

const ParportInfo* FindDevice(const std::vector<ParportInfo>& ports, const std::string& device) {
  for (const ParportInfo& port : ports) {
    if (port.device == device)
      return &port;
  }
  return nullptr;
}

const ParportInfo* FindBase(const std::vector<ParportInfo>& ports, uint32_t base) {
  for (const ParportInfo& port : ports) {
    if (port.base == base)
      return &port;
  }
  return nullptr;
}

// The services' translation; without services the German texts as they stand.
struct Translator {
  const Services* services;
  __attribute__((format_arg(2))) const char* operator()(const char* text) const {
    return services == nullptr ? text : services->Translate(text);
  }
  const MessageCatalogue* catalogue() const {
    return services == nullptr ? nullptr : services->catalogue();
  }
};

std::string Describe(const PortAccessChoice& choice, const Settings& settings,
                     const Translator& tr) {
  switch (choice.kind) {
    case PortAccessKind::kSimulator:
      return tr("Simulator (Zustandsdatei ") + settings.sim_state_path + ")";
    case PortAccessKind::kPpdev: {
      std::string text =
          choice.device + tr(" über ppdev, Portadresse ") + HexAddress(choice.link_base);
      if (choice.base != 0 && choice.base != choice.link_base) {
        text += tr(", Basisadresse ") + HexAddress(choice.base);
      }
      return text;
    }
    case PortAccessKind::kDirect: {
      std::string text = tr("direkt (ioperm), Portadresse ") + HexAddress(choice.link_base);
      if (choice.base != choice.link_base)
        text += tr(", Basisadresse ") + HexAddress(choice.base);
      return text;
    }
    case PortAccessKind::kDemo:
      break;
  }
  return tr("keiner (Demomodus)");
}

std::string DemoMessage(const Settings& settings, const std::vector<ParportInfo>& ports,
                        const std::string& device, const std::vector<Attempt>& attempts,
                        const Translator& tr) {
  std::string text = tr("Kein Zugriff auf die parallele Schnittstelle ");
  text += settings.ParportDevice.empty()
              ? tr("mit der Portadresse ") + HexAddress(settings.PortAdress)
              : device;
  text += ".\n\n";
  if (device.empty()) {
    text += tr("Das System kennt keine parallele Schnittstelle mit dieser Adresse");
    if (ports.empty()) {
      text += tr(";\nes meldet überhaupt keine (Kernelmodule 'parport_pc' und 'ppdev').\n");
    } else {
      text += tr(".\nBekannt sind:");
      for (const ParportInfo& port : ports) {
        text += " " + port.device + " (" + HexAddress(port.base) + ")";
      }
      text += "\n";
    }
  }
  bool no_permission = false;
  bool no_device_file = false;
  bool busy = false;
  bool not_root = false;
  for (const Attempt& attempt : attempts) {
    text += attempt.ppdev ? device + " (ppdev)" : std::string(tr("Direkter Portzugriff (ioperm)"));
    text += ": " + attempt.call + ": " + ErrnoText(attempt.error, tr.catalogue()) + "\n";
    if (attempt.ppdev && (attempt.error == EACCES || attempt.error == EPERM))
      no_permission = true;
    if (attempt.ppdev && attempt.error == ENOENT)
      no_device_file = true;
    if (attempt.ppdev && attempt.error == EBUSY)
      busy = true;
    if (!attempt.ppdev && (attempt.error == EPERM || attempt.error == EACCES))
      not_root = true;
  }
  text += "\n";
  if (no_permission) {
    text += tr("Es fehlt das Lese- und Schreibrecht auf ") + device +
            tr(".\nAbhilfe: den Benutzer in die Gruppe 'lp' aufnehmen\n"
               "(sudo usermod -a -G lp BENUTZERNAME) und neu anmelden.\n");
  }
  if (no_device_file) {
    text += tr("Die Gerätedatei ") + device +
            tr(" fehlt: Kernelmodul 'ppdev' laden (sudo modprobe ppdev).\n");
  }
  if (busy)
    text += device + tr(" wird von einem anderen Programm oder Treiber benutzt.\n");
  if (device.empty()) {
    text +=
        tr("Die Portadresse in den PREFS prüfen oder die Schnittstelle\n"
           "mit 'ParportDevice' in 'KORVALNK.INI' angeben (zum Beispiel /dev/parport0);\n"
           "ihr Benutzer braucht Lese- und Schreibrecht darauf (Gruppe 'lp').\n");
  }
  if (not_root)
    text += tr("Direkter Portzugriff ist nur mit Root-Rechten möglich.\n");
  text += tr("\nProgramm geht in den Demomodus.");
  return text;
}

}  // namespace

PortAccessChoice ChoosePortAccess(const Settings& settings, PortAccessSystem& system,
                                  const Services* services) {
  const Translator tr{services};
  PortAccessChoice choice;
  if (settings.Simulator == 1) {
    choice.kind = PortAccessKind::kSimulator;
    choice.message = Describe(choice, settings, tr);
    return choice;
  }
  // PortAdress is at most 0x400 after the checks of the settings.
  choice.link_base = static_cast<uint16_t>(settings.PortAdress);
  const std::vector<ParportInfo> ports = system.ListParports();

  // The named device wins; its own base (when the kernel tells it) is the
  // one to reach directly if the device cannot be used.
  std::optional<uint32_t> direct_base;
  if (!settings.ParportDevice.empty()) {
    choice.device = DeviceFile(settings.ParportDevice);
    if (const ParportInfo* known = FindDevice(ports, choice.device))
      direct_base = known->base;
  } else {
    if (const ParportInfo* known = FindBase(ports, settings.PortAdress)) {
      choice.device = known->device;
    }
    direct_base = settings.PortAdress;
  }

  std::vector<Attempt> attempts;
  if (!choice.device.empty()) {
    PortOpenResult opened = system.OpenPpdev(choice.device, choice.link_base);
    if (opened.io) {
      choice.kind = PortAccessKind::kPpdev;
      choice.io = std::move(opened.io);
      choice.base = direct_base.value_or(0);
      choice.message = Describe(choice, settings, tr);
      return choice;
    }
    attempts.push_back({true, opened.failed_call, opened.error});
  }
  if (direct_base) {
    PortOpenResult opened = system.OpenDirect(*direct_base, choice.link_base);
    if (opened.io) {
      choice.kind = PortAccessKind::kDirect;
      choice.io = std::move(opened.io);
      choice.base = *direct_base;
      choice.message = Describe(choice, settings, tr);
      return choice;
    }
    attempts.push_back({false, opened.failed_call, opened.error});
  }
  choice.kind = PortAccessKind::kDemo;
  choice.message = DemoMessage(settings, ports, choice.device, attempts, tr);
  return choice;
}

PortAccessChoice PreparePortAccess(const Settings& settings, PortAccessSystem& system,
                                   Services& services) {
  PortAccessChoice choice = ChoosePortAccess(settings, system, &services);
  choice.os_kind = 0;
  choice.version_name = system.SystemName();
  if (choice.kind == PortAccessKind::kDemo)
    services.ShowMessage(choice.message);
  if (settings.DebugNT == 1) {
    services.ShowPlainMessage("Portzugriff: " + Describe(choice, settings, Translator{&services}));
    services.ShowPlainMessage(choice.version_name);
  }
  return choice;
}

bool PortAccessNeedsRenewal(const PortAccessChoice& choice, const Settings& settings) {
  if (choice.kind != PortAccessKind::kPpdev && choice.kind != PortAccessKind::kDirect)
    return false;
  return settings.PortAdress != choice.link_base;
}

bool RenewPortAccess(PortAccessChoice& choice, const Settings& settings, PortAccessSystem& system,
                     Services& services) {
  if (!PortAccessNeedsRenewal(choice, settings))
    return false;
  choice = PortAccessChoice();
  choice = PreparePortAccess(settings, system, services);
  return true;
}

}  // namespace zivivar
