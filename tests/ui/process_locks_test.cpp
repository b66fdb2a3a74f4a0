#include "ui/process_locks.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace zivivar {
namespace {

using testing::TempDir;

TEST(ProcessLocksTest, ASecondCopyIsRefusedWhileTheFirstIsOpenOrBusyUnlessThereAreNoLocks) {
  TempDir dir;
  ProcessLocks second(dir.path());
  {
    ProcessLocks first(dir.path());
    ASSERT_TRUE(first.ClaimInstance());
    EXPECT_TRUE(first.ClaimInstance()) << "taking its own lock again is harmless";
    EXPECT_FALSE(first.instance().HeldElsewhere()) << "its own holder is not someone else";
    EXPECT_FALSE(second.ClaimInstance()) << "first copy open";
    // A copy that runs a command without a window of its own (the
    // command-line tool) still blocks a start through its busy lock.
    first.ReleaseInstance();
    ASSERT_EQ(first.busy().Acquire(), NamedLock::Result::kAcquired);
    EXPECT_FALSE(second.ClaimInstance()) << "first copy busy";
    EXPECT_FALSE(second.instance().held());
    first.busy().Release();
    ASSERT_TRUE(second.ClaimInstance());
    EXPECT_TRUE(first.instance().HeldElsewhere());
    second.ReleaseInstance();
    ASSERT_EQ(first.busy().Acquire(), NamedLock::Result::kAcquired);
  }
  EXPECT_TRUE(second.ClaimInstance()) << "the locks go with their object";

  // Without a usable lock directory the rules are dropped, not the start.
  for (const char* nowhere : {"", "/nonexistent-zivivar-dir/"}) {
    EXPECT_EQ(NamedLock(nowhere, kBusyWindowTitle).Acquire(), NamedLock::Result::kUnavailable);
    EXPECT_FALSE(NamedLock(nowhere, kBusyWindowTitle).HeldElsewhere());
    EXPECT_TRUE(ProcessLocks(nowhere).ClaimInstance()) << nowhere;
  }
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
  EXPECT_EQ(stat(fallback.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  chmod(dir.path().c_str(), 0700);
  EXPECT_EQ(DefaultLockDirectory(), dir.path());
  saved ? setenv("XDG_RUNTIME_DIR", saved_value.c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace zivivar
