// Writing a whole file so that readers only ever see the old or the new
// contents: the data goes to a temporary file beside the target, which is
// renamed over the target once it is complete and on disk.
#pragma once

#include <string>
#include <string_view>

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

// Text as the Windows C text mode writes it: every LF becomes CR LF.
std::string ToCrLf(std::string_view text);

}  // namespace zivivar
