#include "common/file_contents.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace zivivar {

int ReadFileContents(const std::string& path, std::string* contents, size_t limit) {
  contents->clear();
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr)
    return errno != 0 ? errno : ENOENT;
  char buffer[8192];
  int error = 0;
  while (contents->size() <= limit) {
    const size_t want = std::min(sizeof buffer, limit + 1 - contents->size());
    const size_t got = std::fread(buffer, 1, want, file);
    contents->append(buffer, got);
    if (got < want) {
      if (std::ferror(file) != 0)
        error = errno != 0 ? errno : EIO;
      break;
    }
  }
  std::fclose(file);
  if (error != 0)
    contents->clear();
  return error;
}

}  // namespace zivivar
