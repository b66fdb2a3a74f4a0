#include "ui/process_locks.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/no_port_system.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"
#include "ui/runtime.h"

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
    // A copy busy with a command blocks a start through its busy lock.
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

// The window's side; the command line's is in its own tests.
TEST(ProcessLocksTest, AWindowSeesACommandLineRunOnItsAdapterOnly) {
  TempDir dir;
  ProcessLocks window(dir.path());
  ProcessLocks cli(dir.path());
  window.SetAdapter(ParallelPortAdapter(0x378));
  for (const uint32_t base : {0x278u, 0x378u}) {
    cli.SetAdapter(ParallelPortAdapter(base));
    ASSERT_EQ(cli.adapter().Acquire("zivivar-cli (process 1)"), NamedLock::Result::kAcquired);
    EXPECT_EQ(window.CommandRunsElsewhere(), base == 0x378) << base;
  }
  EXPECT_EQ(window.adapter().Holder(), "zivivar-cli (process 1)");
  cli.adapter().Release();
  EXPECT_EQ(window.adapter().Holder(), "") << "a released lock names nobody";
}

// A port named by its device file is the port at that device's base address.
TEST(ProcessLocksTest, ThePortIsOneAdapterWhicheverWayItIsNamed) {
  struct OnePort : testing::NoPortSystem {
    std::vector<ParportInfo> ListParports() override { return {{"/dev/parport0", 0x378}}; }
  } system;
  testing::ScriptedServicesView view;
  TempDir dir;
  const struct {
    const char* hardware;
    AdapterId adapter;
  } cases[] = {
      {"PortAdress=378", ParallelPortAdapter(0x378)},
      {"ParportDevice=/dev/parport0", ParallelPortAdapter(0x378)},
      {"ParportDevice=/dev/parport9", ParallelPortAdapter("/dev/parport9")},
      {"Simulator=1\nSimState=x/../chip", SimulatedChipAdapter(dir.File("chip"))},
  };
  for (const auto& c : cases) {
    dir.Write("KORVALNK.INI", std::string("[Hardware]\n") + c.hardware + "\n");
    RuntimeOptions options;
    options.settings_directory = dir.path();
    options.port_access_system = &system;
    Runtime runtime(view, options);
    runtime.LoadSettings();
    EXPECT_EQ(runtime.ChosenAdapter().lock_name, c.adapter.lock_name) << c.hardware;
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
