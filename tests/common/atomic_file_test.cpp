#include "common/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace zivivar {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFileTest, ReplacesTheFileWholeKeepingItsMode) {
  for (const auto write : {&WriteFileAtomically, &WriteFileAtomicallyUnsynced}) {
    testing::TempDir dir;
    const std::string path = dir.Write("out.hex", "first");
    fs::permissions(path, fs::perms(0640));
    ASSERT_EQ(write(path, "second"), 0);
    EXPECT_EQ(dir.Read("out.hex"), "second");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);  // no temporary left
  }
}

TEST(AtomicFileTest, FailureLeavesNothingBehind) {
  testing::TempDir dir;
  EXPECT_EQ(WriteFileAtomically(dir.File("missing/out.hex"), "x"), ENOENT);
  // A directory in the way of the rename: the old entry stays, the temp file goes.
  fs::create_directory(dir.File("target"));
  EXPECT_NE(WriteFileAtomically(dir.File("target"), "x"), 0);
  EXPECT_TRUE(fs::is_directory(dir.File("target")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace zivivar
