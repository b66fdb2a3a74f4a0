// The manufacturer and device selection: the contents of the two selection
// lists, built afresh from the device library, and the loading of the
// selected device's DeviceDescriptor. The lists are plain data for whichever
// view shows them. One instance for the run, used from one thread.
//
// ManufIndex and DeviceIndex are the settings that remember the selection;
// they are positions in these lists, counted from 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/device_descriptor.h"
#include "library/device_library.h"
#include "services/services.h"

namespace zivivar {

inline constexpr char kNoManufacturersEntry[] = "Keine Hersteller";
inline constexpr char kNoDevicesEntry[] = "Keine Bausteine";
inline constexpr char kLibraryReadErrorMessage[] = "Fehler beim lesen der Bibliothek !";
inline constexpr char kNoDevicesMessage[] =
    "Keine Bausteine für diesen\n\n Hersteller in der Liste !";

struct SelectionEntry {
  std::string text;         // shown in the list
  uint32_t item_data = 0;   // device list: the device's lock-bit count; 0 for placeholders
  int line_number = 0;      // the library line the entry came from (from 1); 0 for placeholders
  DeviceDescriptor record;  // device list: the record as parsed for the list
};

struct SelectionList {
  std::vector<SelectionEntry> entries;
  int selection = -1;  // the entry to select; -1 none

  // True when the list holds only its "Keine ..." entry.
  bool IsPlaceholder() const { return entries.size() == 1 && entries[0].line_number == 0; }
};

class DeviceSelection {
 public:
  // library and services must outlive the selection.
  DeviceSelection(DeviceLibrary& library, Services& services);

  // Lists the active manufacturers in file order, or "Keine Hersteller".
  // A manuf_index beyond the list (or negative) becomes 0; it is left alone
  // when the library cannot be opened. An empty library, one without an
  // active manufacturer and a failed read each get their message. LibraryResult::kOk
  // when at least one manufacturer was listed, else LibraryResult::kEnd.
  LibraryResult FillManufacturerList(int32_t& manuf_index);

  // Lists the devices of manufacturer manuf_index whose records parse, in
  // file order, each with its lock-bit count as item data, or "Keine
  // Bausteine". Faulty records are left out, after their messages. A
  // device_index beyond the list (or negative) becomes 0; it is left alone
  // when the library cannot be opened. The descriptor afterwards holds the
  // last record parsed, not the selected one. LibraryResult::kOk when at least one
  // device was listed, else LibraryResult::kEnd.
  LibraryResult FillDeviceList(int32_t manuf_index, int32_t& device_index, uint32_t timebase_korr);

  // Loads the descriptor of the selected device: the record of entry
  // device_index of the device list when that list was filled for
  // manuf_index, so the device loaded is always the one whose name is shown,
  // whatever faulty records stand before it. Should the library have changed
  // since the fill, the active device line of that name in the
  // manufacturer's block is taken. Without such a list the device is the
  // device_index-th active device line of the block. LibraryResult::kOk when the
  // descriptor now describes the selected device, else LibraryResult::kFailed after
  // a message (none for a record with a missing field).
  LibraryResult LoadSelectedDevice(int32_t manuf_index, int32_t device_index,
                                   uint32_t timebase_korr);

  const SelectionList& manufacturers() const { return manufacturers_; }
  const SelectionList& devices() const { return devices_; }

 private:
  // Closes the library and parses line into the descriptor; LibraryResult::kOk or
  // LibraryResult::kFailed.
  LibraryResult LoadRecord(const std::string& line, uint32_t timebase_korr);

  DeviceLibrary& library_;
  Services& services_;
  SelectionList manufacturers_;
  SelectionList devices_;
  int32_t devices_manuf_index_ = -1;  // manufacturer whose devices are listed; -1 none
  bool library_opened_ = false;       // whether the last fill could open the library
};

}  // namespace zivivar
