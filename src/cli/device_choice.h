// How zivivar-cli comes to its device, and the chip check before a command
// that would change the chip.
//
// A device must be named: by -d/--device (with -m/--manufacturer where the
// name stands under several manufacturers), by "-d auto" (the device whose
// signature the chip answers), or by a selection the settings file holds
// (its DeviceIndex key, as the window writes it). Names match without regard
// to case. Before erase and program the chip's signature is read and
// compared with the device's, unless --no-signature; the register writes of
// the command itself stay exactly the window's.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_language.h"
#include "cli/cli_options.h"
#include "commands/command_context.h"
#include "commands/command_result.h"
#include "commands/read_signature.h"
#include "library/library_devices.h"
#include "ui/runtime.h"

namespace zivivar {

class DeviceChoice {
 public:
  // report prints one line of the tool's own (an error, a warning or a
  // note); out takes identify's result. Both speak the language of
  // catalogue. All must outlive the object.
  DeviceChoice(const CliOptions& options, Runtime& runtime, std::ostream& out,
               std::function<void(const std::string&)> report, const MessageCatalogue& catalogue);

  // After the settings are loaded: the device named becomes the selection
  // (ManufIndex, DeviceIndex). Nothing: go on. Otherwise the exit status:
  // kExitUsage after the valid names when no device or an unknown one is
  // named, or the library's failure.
  std::optional<int> SelectNamed();

  // For device commands, with the adapter found and the busy lock held,
  // before the device is loaded. With -d auto: reads the signature and
  // selects the one library device that has it; kSignatureMismatch when the
  // signature cannot be read or names no single device. kOk otherwise.
  CommandResult SelectBySignature(const CommandContext& context);

  // With device loaded, before erase and program (and unless --no-signature
  // or -d auto): reads the chip's signature. kSignatureMismatch, before
  // anything is changed, when it is another part's; a warning and kOk when
  // it cannot be read (lock bit 2 or 3); a note and kOk for a device without
  // a signature in the library.
  CommandResult CheckChip(const CommandContext& context, const DeviceDescriptor& device);

  // The identify command: the signature and the library's devices that have it.
  CommandResult Identify(const CommandContext& context);

 private:
  // The library as one list, read once for the run; false after its message.
  bool LoadLibrary();
  // The device whose supply and instruction format read the signature when
  // no device is chosen yet: the library's first device with a signature.
  std::optional<DeviceDescriptor> ProbeDevice();
  // The chip's signature, read as the probe device when no device is chosen
  // yet, with a hint when no chip answered; kDeviceNotLoaded without a probe.
  SignatureReading ReadUnknownChip(const CommandContext& context);
  void Select(const LibraryDevice& device);
  // Prints a line unless -q.
  void Tell(const std::string& line);
  // The names of the library's devices, for the messages that list them.
  std::string ValidNames() const;

  const CliOptions& options_;
  Runtime& runtime_;
  std::ostream& out_;
  std::function<void(const std::string&)> report_;
  const CliText _;
  std::optional<std::vector<LibraryDevice>> devices_;
};

// "1E 52 06".
std::string SignatureText(const DeviceSignature& signature);

}  // namespace zivivar
