#include "ui/file_dialogs.h"

#include "common/path_parts.h"

namespace zivivar {

const FilterList& OpenDialogFilters() {
  static const FilterList filters = {
      {"*.* Alle Dateien", "*.*"},          {"*.BIN Binär-Dateien", "*.bin"},
      {"*.HEX Hex-Dateien", "*.hex"},       {"*.IHX SDCC Intel Hex", "*.ihx"},
      {"*.S19 SDCC Motorola Hex", "*.s19"},
  };
  return filters;
}

const FilterList& SaveDialogFilters() {
  static const FilterList filters = {
      {"*.* Alle Dateien", "*.*"},
      {"*.BIN Binär", "*.bin"},
      {"*.HEX Intel8", "*.hex"},
      {"*.HEX Intel32", "*.hex"},
      {"*.HEX IntelMCS", "*.hex"},
      {"*.HEX Motorola S1 Exorciser", "*.hex"},
      {"*.HEX Motorola S2 Exormax", "*.hex"},
      {"*.HEX Motorola S3 32Bit", "*.hex"},
      {"*.HEX MOS Technology", "*.hex"},
      {"*.HEX Tektronix", "*.hex"},
  };
  return filters;
}

FileDialogRequest OpenDataFileRequest(const Settings& settings) {
  FileDialogRequest request;
  request.filters = OpenDialogFilters();
  request.selected_filter = settings.ReadFilter;
  request.initial_directory = settings.data_directory;
  request.file_must_exist = true;
  return request;
}

FileDialogRequest SaveDataFileRequest(const Settings& settings) {
  FileDialogRequest request;
  request.filters = SaveDialogFilters();
  request.selected_filter = settings.DataFormat + 1;
  request.initial_directory = settings.data_directory;
  request.proposed_name = SplitPath(settings.data_file_name).name;
  request.default_extension = "hex";
  request.confirm_overwrite = true;
  return request;
}

}  // namespace zivivar
