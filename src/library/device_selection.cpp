#include "library/device_selection.h"

#include <optional>

#include "library/library_line.h"

namespace zivivar {
namespace {

SelectionEntry Placeholder(const char* text) {
  SelectionEntry entry;
  entry.text = text;
  return entry;
}

// A stored index that no longer points into the list falls back to the first entry.
void FallBack(int32_t& index, size_t listed) {
  if (index < 0 || static_cast<size_t>(index) >= listed) {
    index = 0;
  }
}

void Finish(SelectionList& list, int32_t index, const char* placeholder) {
  if (list.entries.empty()) {
    list.entries.push_back(Placeholder(placeholder));
    list.selection = 0;
    return;
  }
  list.selection = index;
}

}  // namespace

DeviceSelection::DeviceSelection(DeviceLibrary& library, Services& services)
    : library_(library), services_(services) {}

LibraryResult DeviceSelection::FillManufacturerList(int32_t& manuf_index) {
  manufacturers_ = SelectionList();
  library_opened_ = library_.OpenLibrary() == LibraryResult::kOk;
  if (library_opened_) {
    std::string name;
    while (library_.NextManufacturer(name) == LibraryResult::kOk) {
      SelectionEntry entry;
      entry.text = name;
      entry.line_number = library_.line_number();
      manufacturers_.entries.push_back(std::move(entry));
    }
    FallBack(manuf_index, manufacturers_.entries.size());
    // A list that ends early or stays empty says why, so that an empty
    // selection never passes for a library without faults.
    if (library_.ReadFailed()) {
      services_.ShowMessage(kLibraryReadErrorMessage);
    } else if (manufacturers_.entries.empty()) {
      services_.ShowMessage(library_.line_number() == 0 ? kLibraryEmptyMessage
                                                        : kNoActiveManufacturerMessage);
    }
    library_.CloseLibrary();
  }
  const bool listed = !manufacturers_.entries.empty();
  Finish(manufacturers_, manuf_index, kNoManufacturersEntry);
  return listed ? LibraryResult::kOk : LibraryResult::kEnd;
}

LibraryResult DeviceSelection::FillDeviceList(int32_t manuf_index, int32_t& device_index,
                                              uint32_t timebase_korr) {
  devices_ = SelectionList();
  devices_manuf_index_ = -1;
  library_opened_ = library_.OpenLibrary() == LibraryResult::kOk;
  if (library_opened_) {
    // When the manufacturer is missing its message has been shown, and the
    // reads below meet the end of the file at once.
    library_.FindManufacturer(manuf_index);
    for (;;) {
      const LibraryResult result = library_.NextDevice(timebase_korr);
      if (result == LibraryResult::kEnd) {
        break;
      }
      if (result != LibraryResult::kOk)
        continue;  // left out; a refused value has shown its message
      SelectionEntry entry;
      entry.record = library_.descriptor();
      entry.text = entry.record.device_name;
      entry.item_data = entry.record.lock_bit_count;
      entry.line_number = library_.line_number();
      devices_.entries.push_back(std::move(entry));
    }
    FallBack(device_index, devices_.entries.size());
    devices_manuf_index_ = manuf_index;
    library_.CloseLibrary();
  }
  const bool listed = !devices_.entries.empty();
  Finish(devices_, device_index, kNoDevicesEntry);
  return listed ? LibraryResult::kOk : LibraryResult::kEnd;
}

LibraryResult DeviceSelection::LoadRecord(const std::string& line, uint32_t timebase_korr) {
  library_.CloseLibrary();
  return library_.ParseDeviceRecord(line, timebase_korr) == LibraryResult::kOk
             ? LibraryResult::kOk
             : LibraryResult::kFailed;
}

LibraryResult DeviceSelection::LoadSelectedDevice(int32_t manuf_index, int32_t device_index,
                                                  uint32_t timebase_korr) {
  if (library_.OpenLibrary() != LibraryResult::kOk) {
    return LibraryResult::kFailed;
  }
  if (library_.FindManufacturer(manuf_index) != LibraryResult::kOk) {
    library_.CloseLibrary();
    return LibraryResult::kFailed;
  }

  const SelectionEntry* wanted = nullptr;
  if (manuf_index == devices_manuf_index_ && !devices_.IsPlaceholder() && device_index >= 0 &&
      static_cast<size_t>(device_index) < devices_.entries.size()) {
    wanted = &devices_.entries[static_cast<size_t>(device_index)];
  }

  int32_t counter = -1;
  // A line of the wanted name elsewhere in the block, should the library have changed.
  std::optional<std::string> same_name;
  bool block_ended = false;  // by a manufacturer line rather than by the end of the file
  while (library_.ReadLine()) {
    const std::string& line = library_.current_line();
    if (IsManufacturerLine(line)) {
      block_ended = true;
      break;
    }
    if (!IsActiveLine(line)) {
      continue;
    }
    ++counter;
    if (wanted == nullptr) {
      if (counter == device_index) {
        return LoadRecord(line, timebase_korr);
      }
    } else if (FirstField(line) == wanted->text) {
      if (library_.line_number() == wanted->line_number) {
        return LoadRecord(line, timebase_korr);
      }
      if (!same_name) {
        same_name = line;
      }
    }
  }
  if (same_name) {
    return LoadRecord(*same_name, timebase_korr);
  }
  services_.ShowMessage(block_ended ? kNoDevicesMessage : kLibraryReadErrorMessage);
  library_.CloseLibrary();
  return LibraryResult::kFailed;
}

LibraryResult DeviceSelection::FindManufacturerByName(const std::string& name,
                                                      int32_t& manuf_index) {
  int32_t index = manuf_index;
  if (FillManufacturerList(index) != LibraryResult::kOk && !library_opened_) {
    return LibraryResult::kFailed;
  }
  for (size_t i = 0; i < manufacturers_.entries.size(); ++i) {
    const SelectionEntry& entry = manufacturers_.entries[i];
    if (entry.line_number != 0 && entry.text == name) {
      manuf_index = static_cast<int32_t>(i);
      manufacturers_.selection = manuf_index;
      return LibraryResult::kOk;
    }
  }
  services_.ShowMessage(services_.Translate("Hersteller '") + name +
                        services_.Translate("' in Bibliothek nicht gefunden !"));
  return LibraryResult::kFailed;
}

LibraryResult DeviceSelection::FindDeviceByName(int32_t manuf_index, const std::string& name,
                                                int32_t& device_index, uint32_t timebase_korr) {
  int32_t index = device_index;
  if (FillDeviceList(manuf_index, index, timebase_korr) != LibraryResult::kOk && !library_opened_) {
    return LibraryResult::kFailed;
  }
  for (size_t i = 0; i < devices_.entries.size(); ++i) {
    const SelectionEntry& entry = devices_.entries[i];
    if (entry.line_number != 0 && entry.text == name) {
      device_index = static_cast<int32_t>(i);
      devices_.selection = device_index;
      return LibraryResult::kOk;
    }
  }
  services_.ShowMessage(services_.Translate("Baustein '") + name +
                        services_.Translate("' in Bibliothek nicht gefunden !"));
  return LibraryResult::kFailed;
}

}  // namespace zivivar
