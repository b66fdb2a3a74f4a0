#include "ui/process_locks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

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

// A file name for any text: 64-bit FNV-1a in hexadecimal.
std::string NameHash(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  char name[17];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
  return name;
}

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

NamedLock::Result NamedLock::Acquire(const std::string& holder) {
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
  if (!holder.empty() && ftruncate(fd, 0) == 0) {
    // Only a message reads it; a failed write leaves "" (nothing known).
    [[maybe_unused]] const ssize_t written = pwrite(fd, holder.data(), holder.size(), 0);
  }
  return Result::kAcquired;
}

NamedLock::Result NamedLock::AcquireWaiting(const std::function<bool()>& stop,
                                            const std::string& holder) {
  for (;;) {
    const Result result = Acquire(holder);
    if (result != Result::kHeldElsewhere || stop())
      return result;
    usleep(20000);
  }
}

std::string NamedLock::Holder() const {
  if (path_.empty())
    return "";
  const int fd = OpenLockFile(path_, false);
  if (fd < 0)
    return "";
  std::vector<char> text(256);
  const ssize_t length = pread(fd, text.data(), text.size(), 0);
  close(fd);
  return length > 0 ? std::string(text.data(), static_cast<size_t>(length)) : "";
}

void NamedLock::Release() {
  if (fd_ < 0)
    return;
  // The file stays: removing it would let a waiting opener lock a name that
  // no longer exists while a third process creates a fresh file.
  // The next holder writes its own name; until then, nobody is named.
  [[maybe_unused]] const int truncated = ftruncate(fd_, 0);
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

std::string AdapterPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error)
    return path;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
  return error ? absolute.lexically_normal().string() : canonical.string();
}

AdapterId SimulatedChipAdapter(const std::string& state_path) {
  const std::string path = AdapterPath(state_path);
  return {"zivivar-sim-" + NameHash(path), "the simulated chip in " + path};
}

AdapterId ParallelPortAdapter(uint32_t base) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", base);
  return {std::string("zivivar-port-") + text, std::string("the parallel port at 0x") + text};
}

AdapterId ParallelPortAdapter(const std::string& device) {
  return {"zivivar-port-" + NameHash(AdapterPath(device)), "the parallel port " + device};
}

ProcessLocks::ProcessLocks(const std::string& directory)
    : directory_(directory),
      instance_(directory, kMainWindowTitle),
      busy_(directory, kBusyWindowTitle) {
  adapter_.emplace("", "");
}

void ProcessLocks::SetAdapter(const AdapterId& adapter) {
  adapter_id_ = adapter;
  adapter_.reset();
  adapter_.emplace(adapter.lock_name.empty() ? std::string() : directory_, adapter.lock_name);
}

bool ProcessLocks::CommandRunsElsewhere() const {
  return busy_.HeldElsewhere() || adapter_->HeldElsewhere();
}

void ProcessLocks::AcquireCommandLocks() {
  busy_.Acquire();
  adapter_->Acquire("the zivivar window (process " + std::to_string(getpid()) + ")");
}

void ProcessLocks::ReleaseCommandLocks() {
  adapter_->Release();
  busy_.Release();
}

bool ProcessLocks::ClaimInstance() {
  if (busy_.HeldElsewhere())
    return false;
  return instance_.Acquire() != NamedLock::Result::kHeldElsewhere;
}

}  // namespace zivivar
