#include "ui/process_locks.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace zivivar {
namespace {

using testing::TempDir;

TEST(NamedLockTest, ASecondHolderIsRefusedUntilTheFirstReleases) {
  TempDir dir;
  NamedLock first(dir.path(), kBusyWindowTitle);
  NamedLock second(dir.path(), kBusyWindowTitle);

  EXPECT_FALSE(second.HeldElsewhere()) << "a lock never taken is free";
  ASSERT_EQ(first.Acquire(), NamedLock::Result::kAcquired);
  EXPECT_TRUE(dir.Exists(kBusyWindowTitle));
  EXPECT_EQ(first.Acquire(), NamedLock::Result::kAcquired) << "taking it again is harmless";
  EXPECT_FALSE(first.HeldElsewhere()) << "its own holder is not someone else";
  EXPECT_TRUE(second.HeldElsewhere());
  EXPECT_EQ(second.Acquire(), NamedLock::Result::kHeldElsewhere);
  EXPECT_FALSE(second.held());

  first.Release();
  EXPECT_FALSE(second.HeldElsewhere());
  EXPECT_EQ(second.Acquire(), NamedLock::Result::kAcquired);
  EXPECT_TRUE(first.HeldElsewhere());
}

TEST(NamedLockTest, TheLockGoesWithItsObject) {
  TempDir dir;
  NamedLock probe(dir.path(), kMainWindowTitle);
  {
    NamedLock holder(dir.path(), kMainWindowTitle);
    ASSERT_EQ(holder.Acquire(), NamedLock::Result::kAcquired);
    EXPECT_TRUE(probe.HeldElsewhere());
  }
  EXPECT_FALSE(probe.HeldElsewhere());
}

TEST(NamedLockTest, NoUsableDirectoryMeansUnavailableNotHeld) {
  NamedLock nowhere("", kBusyWindowTitle);
  EXPECT_EQ(nowhere.Acquire(), NamedLock::Result::kUnavailable);
  EXPECT_FALSE(nowhere.HeldElsewhere());

  NamedLock missing("/nonexistent-zivivar-dir/", kBusyWindowTitle);
  EXPECT_EQ(missing.Acquire(), NamedLock::Result::kUnavailable);
  EXPECT_FALSE(missing.HeldElsewhere());
}

TEST(ProcessLocksTest, ASecondCopyIsRefusedWhileTheFirstIsOpenOrBusy) {
  TempDir dir;
  ProcessLocks first(dir.path());
  ASSERT_TRUE(first.ClaimInstance());
  EXPECT_FALSE(ProcessLocks(dir.path()).ClaimInstance()) << "first copy open";

  // A copy that runs a command but has no window of its own (the
  // command-line tool) still blocks a start through its busy lock.
  first.ReleaseInstance();
  ASSERT_EQ(first.busy().Acquire(), NamedLock::Result::kAcquired);
  ProcessLocks second(dir.path());
  EXPECT_FALSE(second.ClaimInstance()) << "first copy busy";
  EXPECT_FALSE(second.instance().held());

  first.busy().Release();
  EXPECT_TRUE(second.ClaimInstance());
  EXPECT_TRUE(second.instance().held());
}

TEST(ProcessLocksTest, AnUnusableLockDirectoryDoesNotStopTheStart) {
  ProcessLocks locks("");
  EXPECT_TRUE(locks.ClaimInstance());
}

TEST(DefaultLockDirectoryTest, FallsBackToAPrivateDirectoryOfThisUser) {
  TempDir dir;
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved_value = saved ? saved : "";

  // A world-writable runtime directory is not trusted.
  chmod(dir.path().c_str(), 0777);
  setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  const std::string fallback = DefaultLockDirectory();
  EXPECT_EQ(fallback, "/tmp/zivivar-" + std::to_string(geteuid()) + "/");
  struct stat st {};
  ASSERT_EQ(stat(fallback.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  chmod(dir.path().c_str(), 0700);
  EXPECT_EQ(DefaultLockDirectory(), dir.path());

  if (saved) {
    setenv("XDG_RUNTIME_DIR", saved_value.c_str(), 1);
  } else {
    unsetenv("XDG_RUNTIME_DIR");
  }
}

}  // namespace
}  // namespace zivivar
