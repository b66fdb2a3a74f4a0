#include "datafiles/data_file_bytes.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "datafiles/file_errors.h"

namespace zivivar {
namespace {

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() { ::close(fd_); }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int fd_;
};

// Waits until fd has data or its end; 0, ETIMEDOUT or an errno.
int WaitReadable(int fd, int timeout_ms) {
  for (;;) {
    pollfd entry{fd, POLLIN, 0};
    const int ready = ::poll(&entry, 1, timeout_ms);
    if (ready > 0)
      return 0;
    if (ready == 0)
      return ETIMEDOUT;
    if (errno != EINTR)
      return errno;
  }
}

// Reads straight into *bytes, which grows by blocks; expected is the size a
// regular file announces (0 for pipes and devices).
int ReadAll(int fd, bool regular, size_t expected, int idle_timeout_ms, std::string* bytes) {
  constexpr size_t kBlock = 65536;
  size_t used = 0;
  bytes->resize(std::min(expected + 1, kMaxDataFileSize + 1));
  for (;;) {
    // Only pipes and devices can keep a reader waiting; they are asked first.
    if (!regular) {
      if (const int error = WaitReadable(fd, idle_timeout_ms); error != 0)
        return error;
    }
    if (used == bytes->size())
      bytes->resize(std::min(used + kBlock, kMaxDataFileSize + 1));
    const ssize_t got = ::read(fd, bytes->data() + used, bytes->size() - used);
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN)
        continue;
      return errno;
    }
    if (got == 0) {
      bytes->resize(used);
      return 0;
    }
    used += static_cast<size_t>(got);
    if (used > kMaxDataFileSize)
      return EFBIG;
  }
}

}  // namespace

int ReadDataFileBytes(const std::string& path, std::string* bytes, int idle_timeout_ms) {
  bytes->clear();
  // Without O_NONBLOCK the open of a named pipe waits for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return errno;
  const FdCloser closer(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0)
    return errno;
  if (S_ISDIR(info.st_mode))
    return EISDIR;
  const bool regular = S_ISREG(info.st_mode);
  if (regular && static_cast<unsigned long long>(info.st_size) > kMaxDataFileSize)
    return EFBIG;
  const size_t expected = regular ? static_cast<size_t>(info.st_size) : 0;
  const int error = ReadAll(fd, regular, expected, idle_timeout_ms, bytes);
  if (error != 0)
    bytes->clear();
  return error;
}

void ReportDataFileReadError(Services& services, const std::string& path, int error) {
  const char* reason = nullptr;
  if (error == EFBIG)
    reason = "Datei zu groß: mehr als 16 MiB sind keine Brenndatei";
  if (error == ETIMEDOUT)
    reason = "Keine Daten in 15 Sekunden (Pipe ohne Schreiber ?)";
  if (reason == nullptr) {
    ReportFileError(services, path, error);
    return;
  }
  services.ShowMessage(services.Translate("Fehler beim Öffnen der Datei\n\n") + path + "\n\n" +
                       services.Translate(reason));
}

}  // namespace zivivar
