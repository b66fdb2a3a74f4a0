// The names of the current data file and its EEPROM companion, as the file
// dialogs and the read-out form them.
#pragma once

#include <string>

#include "services/services.h"

namespace zivivar {

inline constexpr char kEepromExtension[] = ".eep";
// Asked when the read-out's extension rule turns the name confirmed in the
// save dialog into the name of another file that exists; the text is the
// question's start, followed by the file name and kReplaceQuestionEnd.
inline constexpr char kReplaceQuestionStart[] = "Die Datei\n";
inline constexpr char kReplaceQuestionEnd[] = "\nexistiert bereits.\n\nSoll sie ersetzt werden ?";

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

// True when the read-out may write target: it is the name confirmed in the
// save dialog (confirmed_path, whose dialog asked about it), or no file has
// its name, or the user answered OK to the replace question.
bool MayWriteReadOutTarget(const std::string& confirmed_path, const DataFileNames& target,
                           Services& services);

}  // namespace zivivar
