#include "ui/data_file_naming.h"

#include <sys/stat.h>

#include "common/path_parts.h"
#include "datafiles/data_format.h"

namespace zivivar {

std::string EepromPathFor(const std::string& data_file_path) {
  PathParts parts = SplitPath(data_file_path);
  parts.extension = kEepromExtension;
  return MakePath(parts);
}

DataFileNames NamesFromDialog(const std::string& path, const std::string& file_name) {
  const PathParts where = SplitPath(path);
  const PathParts what = SplitPath(file_name);
  const PathParts full{where.drive, where.directory, what.name, what.extension};
  DataFileNames names;
  names.path = MakePath(full);
  names.name = MakePath({"", "", what.name, what.extension});
  names.directory = where.drive + where.directory;
  names.eeprom_path = EepromPathFor(names.path);
  return names;
}

ReadOutTarget ReadOutTargetFromDialog(const std::string& path, const std::string& file_name,
                                      int filter) {
  ReadOutTarget target;
  target.data_format = filter - 1;
  const PathParts where = SplitPath(path);
  PathParts what = SplitPath(file_name);
  if (target.data_format == kFormatBinary) {
    what.extension = ".bin";
  } else if (target.data_format >= kFormatIntel8 && target.data_format <= kLastDataFormat) {
    what.extension = ".hex";
  } else {
    target.data_format = kFormatBinary;
  }
  target.names = NamesFromDialog(MakePath({where.drive, where.directory, "", ""}),
                                 MakePath({"", "", what.name, what.extension}));
  return target;
}

bool MayWriteReadOutTarget(const std::string& confirmed_path, const DataFileNames& target,
                           Services& services) {
  if (target.path == confirmed_path)
    return true;
  struct stat st {};
  if (stat(target.path.c_str(), &st) != 0)
    return true;
  return services.AskOkCancel(kReplaceQuestionStart + target.name + kReplaceQuestionEnd) == kIdOk;
}

}  // namespace zivivar
