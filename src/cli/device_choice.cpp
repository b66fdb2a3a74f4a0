#include "cli/device_choice.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <utility>

#include "cli/exit_status.h"
#include "commands/read_signature.h"
#include "config/ini_file.h"
#include "config/settings.h"

namespace zivivar {
namespace {

bool IsAuto(const std::optional<std::string>& device) {
  return device && SameNameIgnoringCase(*device, "auto");
}

// The commands that work on one device of the library.
bool NeedsDevice(CliCommand command) {
  switch (command) {
    case CliCommand::kBlank:
    case CliCommand::kErase:
    case CliCommand::kProgram:
    case CliCommand::kVerify:
    case CliCommand::kRead:
    case CliCommand::kConvert:
      return true;
    default:
      return false;
  }
}

std::string Names(const std::vector<LibraryDevice>& devices) {
  std::string text;
  for (const LibraryDevice& device : devices)
    text += (text.empty() ? "" : ", ") + device.manufacturer + " " + device.record.device_name;
  return text;
}

}  // namespace

std::string SignatureText(const DeviceSignature& signature) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X %02X %02X", signature[0], signature[1], signature[2]);
  return text;
}

DeviceChoice::DeviceChoice(const CliOptions& options, Runtime& runtime, std::ostream& out,
                           std::function<void(const std::string&)> report,
                           const MessageCatalogue& catalogue)
    : options_(options), runtime_(runtime), out_(out), report_(std::move(report)), _(catalogue) {}

bool DeviceChoice::LoadLibrary() {
  if (devices_)
    return true;
  std::vector<LibraryDevice> devices;
  if (runtime_.ListLibraryDevices(devices) != LibraryResult::kOk)
    return false;
  devices_ = std::move(devices);
  return true;
}

std::string DeviceChoice::ValidNames() const {
  std::string text;
  for (const LibraryDevice& device : *devices_) {
    text += (text.empty() ? "" : ", ") + device.record.device_name;
    // A name that stands under several manufacturers needs -m: say which.
    if (DevicesNamed(*devices_, device.record.device_name).size() > 1)
      text += " (-m " + device.manufacturer + ")";
  }
  return text.empty() ? std::string(_("no devices")) : text;
}

void DeviceChoice::Select(const LibraryDevice& device) {
  Settings& settings = runtime_.edit_settings();
  settings.ManufIndex = device.manuf_index;
  settings.DeviceIndex = device.device_index;
}

void DeviceChoice::Tell(const std::string& line) {
  if (!options_.quiet)
    report_(line);
}

std::optional<int> DeviceChoice::SelectNamed() {
  const CliCommand command = options_.command;
  if (IsAuto(options_.device)) {
    if (command != CliCommand::kConvert)
      return std::nullopt;  // chosen once the chip has answered
    report_(_("-d auto needs the chip in the socket; name the device to convert for"));
    return kExitUsage;
  }
  if (!options_.device) {
    if (!NeedsDevice(command))
      return std::nullopt;
    // A selection made in the window, or given with --set, counts as named.
    const bool set = std::ranges::any_of(options_.settings, [](const auto& item) {
      return SameNameIgnoringCase(item.first, "DeviceIndex");
    });
    IniFile file;
    if (!options_.manufacturer && (set || (ReadIniFile(runtime_.settings().settings_file_path,
                                                       kMaxSettingsFileSize, file) == 0 &&
                                           file.Find(kIspSection, "DeviceIndex"))))
      return std::nullopt;
  }
  if (!LoadLibrary())
    return ExitStatus(CommandResult::kDeviceNotLoaded);
  if (!options_.device) {
    report_(Printf(_("no device named: name it with -d NAME (or -d auto for the chip in the "
                     "socket); the library lists %s"),
                   ValidNames().c_str()));
    return kExitUsage;
  }
  const std::vector<LibraryDevice> named =
      DevicesNamed(*devices_, *options_.device, options_.manufacturer);
  if (named.empty()) {
    if (options_.manufacturer) {
      report_(Printf(_("unknown device '%s' of manufacturer '%s'; the library lists %s"),
                     options_.device->c_str(), options_.manufacturer->c_str(),
                     ValidNames().c_str()));
    } else {
      report_(Printf(_("unknown device '%s'; the library lists %s"), options_.device->c_str(),
                     ValidNames().c_str()));
    }
    return kExitUsage;
  }
  const bool repeated = std::ranges::any_of(named, [&](const LibraryDevice& device) {
    return device.manuf_index != named.front().manuf_index;
  });
  if (repeated) {
    report_(Printf(_("'%s' stands under several manufacturers (%s); choose one with -m"),
                   options_.device->c_str(), Names(named).c_str()));
    return kExitUsage;
  }
  Select(named.front());
  return std::nullopt;
}

SignatureReading DeviceChoice::ReadUnknownChip(const CommandContext& context) {
  const std::optional<DeviceDescriptor> probe = ProbeDevice();
  if (!probe)
    return {CommandResult::kDeviceNotLoaded, {}};
  const SignatureReading reading = ReadSignature(context, *probe);
  if (reading.result == CommandResult::kNoChipAnswer)
    report_(
        _("no chip answered the four-byte instructions that read a signature (a three-byte "
          "chip such as the AT89S53 has none): name the device with -d"));
  return reading;
}

std::optional<DeviceDescriptor> DeviceChoice::ProbeDevice() {
  if (!LoadLibrary())
    return std::nullopt;
  for (const LibraryDevice& device : *devices_) {
    if (device.record.signature)
      return device.record;
  }
  report_(_("no device of the library has a signature to compare the chip's with"));
  return std::nullopt;
}

CommandResult DeviceChoice::SelectBySignature(const CommandContext& context) {
  if (!IsAuto(options_.device))
    return CommandResult::kOk;
  const SignatureReading reading = ReadUnknownChip(context);
  if (reading.result != CommandResult::kOk)
    return reading.result;
  const std::string signature = SignatureText(reading.bytes);
  if (!SignatureReadable(reading.bytes)) {
    report_(Printf(_("-d auto: the chip's signature reads %s: it cannot be read while lock bit 2 "
                     "or 3 is programmed; name the device with -d"),
                   signature.c_str()));
    return CommandResult::kSignatureMismatch;
  }
  const std::vector<LibraryDevice> matching = DevicesWithSignature(*devices_, reading.bytes);
  if (matching.size() != 1) {
    report_(matching.empty()
                ? Printf(_("-d auto: the chip's signature %s is that of no device in the library"),
                         signature.c_str())
                : Printf(_("-d auto: the chip's signature %s is that of several devices (%s); "
                           "name one with -d and -m"),
                         signature.c_str(), Names(matching).c_str()));
    return CommandResult::kSignatureMismatch;
  }
  Select(matching.front());
  Tell(Printf(_("-d auto: %s (signature %s)"), matching.front().record.device_name.c_str(),
              signature.c_str()));
  return CommandResult::kOk;
}

CommandResult DeviceChoice::CheckChip(const CommandContext& context,
                                      const DeviceDescriptor& device) {
  const CliCommand command = options_.command;
  if (options_.no_signature || IsAuto(options_.device) ||
      (command != CliCommand::kErase && command != CliCommand::kProgram))
    return CommandResult::kOk;
  if (!device.signature) {
    Tell(Printf(_("note: the library holds no signature for %s; the chip in the socket is not "
                  "checked"),
                device.device_name.c_str()));
    return CommandResult::kOk;
  }
  const SignatureReading reading = ReadSignature(context, device);
  if (reading.result != CommandResult::kOk)
    return reading.result;
  const std::string signature = SignatureText(reading.bytes);
  if (reading.bytes == *device.signature) {
    if (options_.verbose && !options_.quiet)
      report_(Printf(_("check the chip's signature (%s, %s)"), signature.c_str(),
                     device.device_name.c_str()));
    return CommandResult::kOk;
  }
  if (!SignatureReadable(reading.bytes)) {
    Tell(Printf(_("warning: the chip's signature reads %s: it cannot be read while lock bit 2 or "
                  "3 is programmed; going on unchecked"),
                signature.c_str()));
    return CommandResult::kOk;
  }
  std::vector<LibraryDevice> others;
  if (LoadLibrary())
    others = DevicesWithSignature(*devices_, reading.bytes);
  const char* expected = device.device_name.c_str();
  const std::string expected_signature = SignatureText(*device.signature);
  report_(others.empty()
              ? Printf(_("the chip in the socket is not %s (signature %s): it answers %s, a device "
                         "the library does not list; nothing was changed (--no-signature skips "
                         "this check)"),
                       expected, expected_signature.c_str(), signature.c_str())
              : Printf(_("the chip in the socket is not %s (signature %s): it answers %s, which "
                         "is %s; nothing was changed (--no-signature skips this check)"),
                       expected, expected_signature.c_str(), signature.c_str(),
                       Names(others).c_str()));
  return CommandResult::kSignatureMismatch;
}

CommandResult DeviceChoice::Identify(const CommandContext& context) {
  const SignatureReading reading = ReadUnknownChip(context);
  if (reading.result != CommandResult::kOk)
    return reading.result;
  const bool readable = SignatureReadable(reading.bytes);
  out_ << _("Signature: ") << SignatureText(reading.bytes)
       << (readable ? "" : _(" (cannot be read while lock bit 2 or 3 is programmed)")) << '\n';
  const std::vector<LibraryDevice> matching =
      readable ? DevicesWithSignature(*devices_, reading.bytes) : std::vector<LibraryDevice>{};
  if (matching.empty())
    out_ << _("Device: none in the library\n");
  for (const LibraryDevice& device : matching)
    out_ << _("Device: ") << device.manufacturer << " " << device.record.device_name << '\n';
  return CommandResult::kOk;
}

}  // namespace zivivar
