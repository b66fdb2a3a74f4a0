#include "common/path_parts.h"

#include <gtest/gtest.h>

namespace zivivar {
namespace {

TEST(PathPartsTest, SplitTakesTheLastExtensionOfTheLastComponent) {
  // Written as directory|name|extension.
  for (const std::string parts :
       {"/home/user/fw/|blink.v2|.ihx", "|blink|", "dir.d/|blink|", "dir/||", "/a/||.hidden"}) {
    std::string path = parts;
    std::erase(path, '|');
    const PathParts split = SplitPath(path);
    EXPECT_EQ(split.drive + split.directory + "|" + split.name + "|" + split.extension, parts);
    EXPECT_EQ(MakePath(split), path);
  }
}

TEST(PathPartsTest, MakePathAddsMissingSeparators) {
  EXPECT_EQ(MakePath({"", "/tmp", "a", "eep"}), "/tmp/a.eep");
  EXPECT_EQ(MakePath({"", "/tmp/", "a", ".eep"}), "/tmp/a.eep");
}

}  // namespace
}  // namespace zivivar
