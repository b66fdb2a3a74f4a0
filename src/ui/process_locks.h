// The single-instance and busy rules across processes. Each rule is a per-user
// lock file named like the window it stands for, held with flock(2) while that
// window exists: "8051 VeDedido Zivivar V1.05" while the main window is open,
// "KorvalinkDevil" while a device command runs. The kernel drops a lock when
// its holder dies, so a crashed copy never blocks the next one.
#pragma once

#include <string>

namespace zivivar {

inline constexpr char kBusyWindowTitle[] = "KorvalinkDevil";
inline constexpr char kMainWindowTitle[] = "8051 VeDedido Zivivar V1.05";

// $XDG_RUNTIME_DIR when set and usable, else /tmp/zivivar-<uid>/ (created with
// mode 0700, and refused when it exists but is not this user's private
// directory). Ends in '/'; empty when no usable directory can be had.
std::string DefaultLockDirectory();

// One lock file. Two NamedLock objects on the same file exclude each other
// just as two processes do (flock locks belong to the open file), which is
// what the tests use to stand for "another copy".
class NamedLock {
 public:
  enum class Result { kAcquired, kHeldElsewhere, kUnavailable };

  // directory as from DefaultLockDirectory (an empty directory makes every
  // Acquire kUnavailable); name is the file name.
  NamedLock(std::string directory, std::string name);
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

  // Takes the lock without waiting. kUnavailable: the file cannot be opened
  // (no lock directory, no permission); callers then go on without the rule
  // rather than refuse to work. Taking a lock already held here is kAcquired.
  Result Acquire();
  void Release();
  bool held() const { return fd_ >= 0; }
  // True when another holder (process or object) has the lock now.
  bool HeldElsewhere() const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

// The two locks of the run.
class ProcessLocks {
 public:
  // directory as from DefaultLockDirectory.
  explicit ProcessLocks(const std::string& directory);

  // The start rule: false (the copy is to end silently) when a device command
  // of another copy is running or another copy is open; otherwise the
  // instance lock is held from now on until Release or destruction. A lock
  // directory that cannot be used does not stop the start.
  bool ClaimInstance();
  void ReleaseInstance() { instance_.Release(); }

  NamedLock& instance() { return instance_; }
  NamedLock& busy() { return busy_; }

 private:
  NamedLock instance_;
  NamedLock busy_;
};

}  // namespace zivivar
