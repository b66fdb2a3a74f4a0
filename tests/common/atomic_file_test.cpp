#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace zivivar {
namespace {

size_t FilesIn(const std::string& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(AtomicFileTest, WritesNewFileAndReplacesOldOne) {
  testing::TempDir dir;
  ASSERT_EQ(WriteFileAtomically(dir.File("out.hex"), "first"), 0);
  EXPECT_EQ(dir.Read("out.hex"), "first");
  ASSERT_EQ(WriteFileAtomically(dir.File("out.hex"), "second"), 0);
  EXPECT_EQ(dir.Read("out.hex"), "second");
  EXPECT_EQ(FilesIn(dir.path()), 1u);  // no temporary file left behind
}

TEST(AtomicFileTest, UnsyncedWriteStillReplacesTheFileWhole) {
  testing::TempDir dir;
  ASSERT_EQ(WriteFileAtomicallyUnsynced(dir.File("out.hex"), "first"), 0);
  ASSERT_EQ(WriteFileAtomicallyUnsynced(dir.File("out.hex"), "second"), 0);
  EXPECT_EQ(dir.Read("out.hex"), "second");
  EXPECT_EQ(FilesIn(dir.path()), 1u);
  EXPECT_EQ(WriteFileAtomicallyUnsynced(dir.File("missing/out.hex"), "x"), ENOENT);
}

TEST(AtomicFileTest, ExistingFileKeepsItsMode) {
  testing::TempDir dir;
  const std::string path = dir.Write("keep.bin", "old");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_EQ(WriteFileAtomically(path, "new"), 0);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicFileTest, FailureLeavesNothingBehind) {
  testing::TempDir dir;
  EXPECT_EQ(WriteFileAtomically(dir.File("missing/out.hex"), "x"), ENOENT);
  // A directory in the way of the rename: the old entry stays, the temp file goes.
  std::filesystem::create_directory(dir.File("target"));
  EXPECT_NE(WriteFileAtomically(dir.File("target"), "x"), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("target")));
  EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(AtomicFileTest, ToCrLfExpandsEveryLineFeed) {
  EXPECT_EQ(ToCrLf("a\nb\n"), "a\r\nb\r\n");
  EXPECT_EQ(ToCrLf("\n\n"), "\r\n\r\n");
  EXPECT_EQ(ToCrLf("none"), "none");
}

}  // namespace
}  // namespace zivivar
