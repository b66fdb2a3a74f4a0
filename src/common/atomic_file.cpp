#include "common/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace zivivar {
namespace {

int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return errno;
    }
    data.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

mode_t ModeForNewFile() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The temporary file, the data, optionally the sync, the rename.
int WriteFile(const std::string& path, std::string_view contents, bool synced) {
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0)
    return errno;

  struct stat existing {};
  const mode_t mode =
      ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : ModeForNewFile();
  int error = 0;
  if (::fchmod(fd, mode) != 0)
    error = errno;
  if (error == 0)
    error = WriteAll(fd, contents);
  if (error == 0 && synced && ::fsync(fd) != 0)
    error = errno;
  if (::close(fd) != 0 && error == 0)
    error = errno;
  if (error == 0 && std::rename(name.data(), path.c_str()) != 0)
    error = errno;
  if (error != 0)
    ::unlink(name.data());
  return error;
}

}  // namespace

int WriteFileAtomically(const std::string& path, std::string_view contents) {
  return WriteFile(path, contents, true);
}

int WriteFileAtomicallyUnsynced(const std::string& path, std::string_view contents) {
  return WriteFile(path, contents, false);
}

std::string ToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n')
      out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

}  // namespace zivivar
