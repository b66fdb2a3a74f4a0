// Reading the chip's signature, the job before a command that would change
// the wrong part and behind the command line's identify and "-d auto". It
// runs in the device frame as the other device commands do (the link's lost
// state cleared, the process priority raised) and never changes the chip.
#pragma once

#include "commands/command_context.h"
#include "commands/command_result.h"
#include "library/device_descriptor.h"

namespace zivivar {

struct SignatureReading {
  CommandResult result = CommandResult::kOk;
  DeviceSignature bytes{};  // valid with kOk
};

// Reads the three signature bytes with device's supply and the four-byte
// instructions (the device must have SPIMODE 4). kOk, kNoChipAnswer after
// the sync message, or kAdapterLost.
SignatureReading ReadSignature(const CommandContext& context, const DeviceDescriptor& device);

// False for all 0x00 or all 0xFF: what a chip answers with lock bit 2 or 3
// programmed, and never a real part's signature.
bool SignatureReadable(const DeviceSignature& bytes);

}  // namespace zivivar
