// The whole device library as one list, for callers that choose a device by
// its name or by its signature rather than by its position in the window's
// two selection lists (the command line, the simulator's SimChip key).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/device_descriptor.h"
#include "library/device_selection.h"

namespace zivivar {

struct LibraryDevice {
  std::string manufacturer;
  int32_t manuf_index = 0;   // ManufIndex that selects it
  int32_t device_index = 0;  // DeviceIndex that selects it
  DeviceDescriptor record;
};

// Every device whose record parses, manufacturer by manufacturer in file
// order, read through lists of its own (the window's lists stay as they
// are); faulty records get their messages as in the lists. LibraryResult::kOk,
// or the result of FillManufacturerList when it listed nothing (after its
// message).
LibraryResult ListLibraryDevices(DeviceLibrary& library, Services& services, uint32_t timebase_korr,
                                 std::vector<LibraryDevice>& devices);

// True when a and b are the same name without regard to (ASCII) case, as
// the library's names are matched.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// The devices named name, without regard to case; only those of
// manufacturer (also without regard to case) when one is given.
std::vector<LibraryDevice> DevicesNamed(const std::vector<LibraryDevice>& devices,
                                        std::string_view name,
                                        std::optional<std::string_view> manufacturer = {});

// The devices whose library entry holds signature.
std::vector<LibraryDevice> DevicesWithSignature(const std::vector<LibraryDevice>& devices,
                                                const DeviceSignature& signature);

}  // namespace zivivar
