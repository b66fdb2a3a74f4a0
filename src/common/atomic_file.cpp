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

// The temporary file beside path holding contents, optionally synced; its
// name goes to *temp_name. 0 or the errno; nothing is left behind on failure.
int WriteTemporary(const std::string& path, std::string_view contents, bool synced,
                   std::string* temp_name) {
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
  if (error != 0)
    ::unlink(name.data());
  else
    *temp_name = name.data();
  return error;
}

// The temporary file, the data, optionally the sync, the rename.
int WriteFile(const std::string& path, std::string_view contents, bool synced) {
  std::string temp;
  int error = WriteTemporary(path, contents, synced, &temp);
  if (error == 0 && std::rename(temp.c_str(), path.c_str()) != 0) {
    error = errno;
    ::unlink(temp.c_str());
  }
  return error;
}

}  // namespace

int WriteFileAtomically(const std::string& path, std::string_view contents) {
  return WriteFile(path, contents, true);
}

int WriteFileAtomicallyUnsynced(const std::string& path, std::string_view contents) {
  return WriteFile(path, contents, false);
}

int WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files,
                         std::string* failed_path) {
  std::vector<std::string> temps;
  for (const auto& [path, contents] : files) {
    std::string temp;
    if (const int error = WriteTemporary(path, contents, true, &temp); error != 0) {
      for (const std::string& written : temps)
        ::unlink(written.c_str());
      if (failed_path != nullptr)
        *failed_path = path;
      return error;
    }
    temps.push_back(std::move(temp));
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (std::rename(temps[i].c_str(), files[i].first.c_str()) != 0) {
      const int error = errno;
      for (size_t j = i; j < temps.size(); ++j)
        ::unlink(temps[j].c_str());
      if (failed_path != nullptr)
        *failed_path = files[i].first;
      return error;
    }
  }
  return 0;
}

}  // namespace zivivar
