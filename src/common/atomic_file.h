// Writing a whole file so that readers only ever see the old or the new
// contents: the data goes to a temporary file beside the target, which is
// renamed over the target once it is complete and on disk.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zivivar {

// Writes contents to path. Returns 0, or the errno of the step that failed;
// on failure the temporary file is removed and an existing file at path is
// left as it was. A new file gets the mode 0666 less the umask; an existing
// file keeps its mode.
int WriteFileAtomically(const std::string& path, std::string_view contents);
// The same without forcing the data onto the disk before the rename, for
// files that can be made again from their source at once (a conversion),
// where that wait would dominate. A failure of the program still never
// leaves a half-written file; a crash of the whole system may leave the
// old file, the new one or an empty one.
int WriteFileAtomicallyUnsynced(const std::string& path, std::string_view contents);

// Writes several files that belong together (a read-out's code and EEPROM
// files): every temporary file is complete and on disk before the first
// rename, so a failure while writing leaves every existing file as it was.
// Returns 0, or the errno of the step that failed with *failed_path (when
// not null) set to the file it concerned. Only a failed rename, after the
// data is safely written, can leave the files before it replaced.
int WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files,
                         std::string* failed_path = nullptr);

}  // namespace zivivar
