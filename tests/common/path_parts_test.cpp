#include "common/path_parts.h"

#include <gtest/gtest.h>

namespace zivivar {
namespace {

TEST(PathPartsTest, SplitsDirectoryNameAndLastExtension) {
  const PathParts parts = SplitPath("/home/user/fw/blink.v2.ihx");
  EXPECT_EQ(parts.drive, "");
  EXPECT_EQ(parts.directory, "/home/user/fw/");
  EXPECT_EQ(parts.name, "blink.v2");
  EXPECT_EQ(parts.extension, ".ihx");
}

TEST(PathPartsTest, PathsWithoutDirectoryOrExtension) {
  EXPECT_EQ(SplitPath("blink").name, "blink");
  EXPECT_EQ(SplitPath("blink").directory, "");
  EXPECT_EQ(SplitPath("blink").extension, "");
  EXPECT_EQ(SplitPath("dir.d/blink").extension, "");  // a dot in a directory is no extension
  EXPECT_EQ(SplitPath("dir/").name, "");
}

TEST(PathPartsTest, MakePathAddsMissingSeparators) {
  EXPECT_EQ(MakePath({"", "/tmp", "a", "eep"}), "/tmp/a.eep");
  EXPECT_EQ(MakePath({"", "/tmp/", "a", ".eep"}), "/tmp/a.eep");
  EXPECT_EQ(MakePath({"", "", "a", ""}), "a");
}

TEST(PathPartsTest, SplitAndMakeAreInverse) {
  for (const char* path : {"/a/b.c", "b.c", "/a/b", "./x.hex", "/a/.hidden"}) {
    EXPECT_EQ(MakePath(SplitPath(path)), path);
  }
}

}  // namespace
}  // namespace zivivar
