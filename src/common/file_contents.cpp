#include "common/file_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace zivivar {

int OpenRegularFile(const std::string& path, size_t limit, std::FILE** file) {
  *file = nullptr;
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return errno != 0 ? errno : ENOENT;
  struct stat status {};
  int error = 0;
  if (fstat(fd, &status) != 0) {
    error = errno != 0 ? errno : EIO;
  } else if (S_ISDIR(status.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(status.st_mode)) {
    error = kNotRegularFile;
  } else if (static_cast<unsigned long long>(status.st_size) > limit) {
    error = kFileTooLarge;
  } else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
             (*file = fdopen(fd, "rb")) == nullptr) {
    error = errno != 0 ? errno : EIO;
  }
  if (error != 0)
    close(fd);
  return error;
}

int ReadFileContents(const std::string& path, std::string* contents, size_t limit) {
  contents->clear();
  std::FILE* file = nullptr;
  if (const int error = OpenRegularFile(path, limit, &file); error != 0)
    return error;
  char buffer[8192];
  int error = 0;
  // One byte beyond the limit tells a file that grew after it was opened.
  for (;;) {
    const size_t want = std::min(sizeof buffer, limit + 1 - contents->size());
    errno = 0;
    const size_t got = std::fread(buffer, 1, want, file);
    contents->append(buffer, got);
    if (contents->size() > limit) {
      error = kFileTooLarge;
      break;
    }
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
