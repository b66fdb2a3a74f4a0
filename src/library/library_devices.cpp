#include "library/library_devices.h"

#include <algorithm>
#include <cctype>

namespace zivivar {
bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

LibraryResult ListLibraryDevices(DeviceLibrary& library, Services& services, uint32_t timebase_korr,
                                 std::vector<LibraryDevice>& devices) {
  devices.clear();
  DeviceSelection selection(library, services);
  int32_t manuf_index = 0;
  const LibraryResult listed = selection.FillManufacturerList(manuf_index);
  if (listed != LibraryResult::kOk)
    return listed;
  const std::vector<SelectionEntry> manufacturers = selection.manufacturers().entries;
  for (size_t m = 0; m < manufacturers.size(); ++m) {
    int32_t device_index = 0;
    selection.FillDeviceList(static_cast<int32_t>(m), device_index, timebase_korr);
    const std::vector<SelectionEntry>& entries = selection.devices().entries;
    for (size_t d = 0; d < entries.size(); ++d) {
      if (entries[d].line_number != 0) {
        devices.push_back({manufacturers[m].text, static_cast<int32_t>(m), static_cast<int32_t>(d),
                           entries[d].record});
      }
    }
  }
  return LibraryResult::kOk;
}

std::vector<LibraryDevice> DevicesNamed(const std::vector<LibraryDevice>& devices,
                                        std::string_view name,
                                        std::optional<std::string_view> manufacturer) {
  std::vector<LibraryDevice> named;
  for (const LibraryDevice& device : devices) {
    if (SameNameIgnoringCase(device.record.device_name, name) &&
        (!manufacturer || SameNameIgnoringCase(device.manufacturer, *manufacturer)))
      named.push_back(device);
  }
  return named;
}

std::vector<LibraryDevice> DevicesWithSignature(const std::vector<LibraryDevice>& devices,
                                                const DeviceSignature& signature) {
  std::vector<LibraryDevice> matching;
  for (const LibraryDevice& device : devices) {
    if (device.record.signature == signature)
      matching.push_back(device);
  }
  return matching;
}

}  // namespace zivivar
