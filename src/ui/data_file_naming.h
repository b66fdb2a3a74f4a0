// The names of the current data file and its EEPROM companion, as the file
// dialogs and the read-out form them.
#pragma once

#include <string>

namespace zivivar {

inline constexpr char kEepromExtension[] = ".eep";

struct DataFileNames {
  std::string path;         // full path of the file for the code memory
  std::string name;         // name and extension
  std::string directory;    // drive and directory, where the dialogs open
  std::string eeprom_path;  // same directory and base name, extension "eep"
};

// The companion file of data_file_path: same directory and base name, "eep".
std::string EepromPathFor(const std::string& data_file_path);

// The names after an open dialog: directory of the dialog's full path,
// name and extension of its file name.
DataFileNames NamesFromDialog(const std::string& path, const std::string& file_name);

// The names and the format to write after the read-out's save dialog, whose
// chosen filter position less one is the format: binary gets "bin", the text
// formats "hex", whatever was typed; "all files" keeps the typed name and
// writes a binary image under it.
struct ReadOutTarget {
  DataFileNames names;
  int data_format = 1;
};
ReadOutTarget ReadOutTargetFromDialog(const std::string& path, const std::string& file_name,
                                      int filter);

}  // namespace zivivar
