// The single-instance and busy rules across processes. Each rule is a per-user
// lock file named like the window it stands for, held with flock(2) while that
// window exists: "8051 VeDedido Zivivar V1.05" while the main window is open,
// "KorvalinkDevil" while a device command runs. The kernel drops a lock when
// its holder dies, so a crashed copy never blocks the next one.
//
// A third lock stands for the adapter a run uses (a parallel port, or a
// simulated chip's state file): a window holds it with its busy lock while a
// command runs, and the command-line tool holds it alone, so that runs on
// different adapters go on side by side while two runs on one adapter
// exclude each other.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
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
  // holder, when not empty, is written into the file for Holder() to tell.
  Result Acquire(const std::string& holder = "");
  // Acquire, retried every few milliseconds while another holder has the
  // lock, until stop() returns true (then kHeldElsewhere).
  Result AcquireWaiting(const std::function<bool()>& stop, const std::string& holder = "");
  void Release();
  bool held() const { return fd_ >= 0; }
  // True when another holder (process or object) has the lock now.
  bool HeldElsewhere() const;
  // What the current holder wrote at Acquire; "" when nothing is known.
  std::string Holder() const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

// The adapter a run uses: the name of its lock file, and how messages name it.
struct AdapterId {
  std::string lock_name;    // "" when the run uses no shared adapter
  std::string description;  // "the parallel port at 0x378", "the simulated chip in /x.zvchip"
};

// The adapters, each under one lock name however its path is spelled.
AdapterId SimulatedChipAdapter(const std::string& state_path);
AdapterId ParallelPortAdapter(uint32_t base);
AdapterId ParallelPortAdapter(const std::string& device);  // a device of unknown base
// path absolute, with the symbolic links of its existing part resolved.
std::string AdapterPath(const std::string& path);

// The locks of the run.
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

  // Names the adapter of the coming commands (releasing the lock of the one
  // before); an empty lock_name: no adapter lock.
  void SetAdapter(const AdapterId& adapter);
  const AdapterId& adapter_id() const { return adapter_id_; }
  NamedLock& adapter() { return *adapter_; }

  // The window's device command: another copy runs one (its busy lock), or
  // another run uses this adapter.
  bool CommandRunsElsewhere() const;
  // Both locks of a window's device command, and their release.
  void AcquireCommandLocks();
  void ReleaseCommandLocks();

 private:
  std::string directory_;
  NamedLock instance_;
  NamedLock busy_;
  AdapterId adapter_id_;
  std::optional<NamedLock> adapter_;
};

}  // namespace zivivar
