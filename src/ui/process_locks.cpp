#include "ui/process_locks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace zivivar {
namespace {

// A directory this user alone can write into: otherwise another user could
// hold our locks (or plant links in their place).
bool IsPrivateDirectory(const std::string& dir) {
  struct stat st {};
  if (lstat(dir.c_str(), &st) != 0)
    return false;
  return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 0022) == 0;
}

int OpenLockFile(const std::string& path, bool create) {
  int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW;
  if (create)
    flags |= O_CREAT;
  return open(path.c_str(), flags, 0600);
}

constexpr int kProbeRetries = 3;

}  // namespace

std::string DefaultLockDirectory() {
  const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
  if (runtime_dir != nullptr && runtime_dir[0] == '/' && IsPrivateDirectory(runtime_dir)) {
    std::string dir = runtime_dir;
    if (dir.back() != '/')
      dir += '/';
    return dir;
  }
  const std::string dir = "/tmp/zivivar-" + std::to_string(geteuid());
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
    return "";
  if (!IsPrivateDirectory(dir))
    return "";
  return dir + "/";
}

NamedLock::NamedLock(std::string directory, std::string name)
    : path_(directory.empty() ? std::string() : std::move(directory) + std::move(name)) {}

NamedLock::~NamedLock() {
  Release();
}

NamedLock::Result NamedLock::Acquire() {
  if (fd_ >= 0)
    return Result::kAcquired;
  if (path_.empty())
    return Result::kUnavailable;
  const int fd = OpenLockFile(path_, true);
  if (fd < 0)
    return Result::kUnavailable;
  // A HeldElsewhere probe of another copy holds the lock shared for a few
  // microseconds; a short retry keeps such a probe from reading as a holder.
  for (int attempt = 0;; ++attempt) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
      break;
    const int error = errno;
    if (error != EWOULDBLOCK || attempt == kProbeRetries) {
      close(fd);
      return error == EWOULDBLOCK ? Result::kHeldElsewhere : Result::kUnavailable;
    }
    usleep(1000);
  }
  fd_ = fd;
  return Result::kAcquired;
}

void NamedLock::Release() {
  if (fd_ < 0)
    return;
  // The file stays: removing it would let a waiting opener lock a name that
  // no longer exists while a third process creates a fresh file.
  flock(fd_, LOCK_UN);
  close(fd_);
  fd_ = -1;
}

bool NamedLock::HeldElsewhere() const {
  if (fd_ >= 0 || path_.empty())
    return false;
  const int fd = OpenLockFile(path_, false);
  if (fd < 0)
    return false;  // never created: nobody holds it
  const bool busy = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return busy;
}

ProcessLocks::ProcessLocks(const std::string& directory)
    : instance_(directory, kMainWindowTitle), busy_(directory, kBusyWindowTitle) {}

bool ProcessLocks::ClaimInstance() {
  if (busy_.HeldElsewhere())
    return false;
  return instance_.Acquire() != NamedLock::Result::kHeldElsewhere;
}

}  // namespace zivivar
