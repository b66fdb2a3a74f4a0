// Reading a whole small file into memory.
#pragma once

#include <cstddef>
#include <string>

namespace zivivar {

// Reads the file at path into *contents, at most limit + 1 bytes, so that a
// caller can tell a file longer than limit. Returns 0, or the errno of the
// failure (EIO when a read failed without one); *contents is then empty.
int ReadFileContents(const std::string& path, std::string* contents,
                     size_t limit = static_cast<size_t>(-1) - 1);

}  // namespace zivivar
