#include "commands/read_signature.h"

#include <algorithm>

#include "programmer/device_operations.h"

namespace zivivar {

SignatureReading ReadSignature(const CommandContext& context, const DeviceDescriptor& device) {
  // The frame of device_commands.cpp without its keeping of the chip: a
  // read changes nothing.
  PortLink& link = context.link;
  link.ClearLinkLost();
  link.RaisePriority(context.os_kind);
  DeviceOperations operations(link, context.services, device, context.image);
  SignatureReading reading;
  const OperationResult result = operations.ReadSignature(reading.bytes);
  link.RestorePriority();
  if (link.link_lost())
    reading.result = CommandResult::kAdapterLost;
  else
    reading.result = FromOperationResult(result);
  return reading;
}

bool SignatureReadable(const DeviceSignature& bytes) {
  return !std::ranges::all_of(bytes, [](uint8_t b) { return b == 0x00; }) &&
         !std::ranges::all_of(bytes, [](uint8_t b) { return b == 0xFF; });
}

}  // namespace zivivar
