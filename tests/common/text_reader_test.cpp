#include "common/text_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "common/file_contents.h"
#include "support/temp_dir.h"

namespace zivivar {
namespace {

// Every line read from a file of these bytes, each followed by '|'.
std::string ReadAll(const std::string& bytes) {
  testing::TempDir dir;
  TextReader reader;
  EXPECT_EQ(reader.Open(dir.Write("f.txt", bytes)), 0);
  std::string lines, line;
  while (reader.ReadLine(line))
    lines += line + "|";
  EXPECT_FALSE(reader.Failed());
  return lines;
}

// A run of n equal characters as it comes back: in reads of at most 1023.
std::string Pieces(size_t n, char c) {
  std::string out;
  for (; n > 1023; n -= 1023)
    out += std::string(1023, c) + "|";
  return out + std::string(n, c);
}

TEST(TextReaderTest, TextModeRules) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\r\nb\nc\r\n", "a\n|b\n|c\n|"},  // CR before LF dropped
      {"a\rb\n\r", "a\rb\n|\r|"},         // a lone CR stays
      {"a\n\x1Az\n", "a\n|"},             // control Z ends the file
      {"a\r\x1A", "a\r|"},
      {"a\nlast", "a\n|last|"},  // the last line needs no line break
      {std::string(1033, 'x') + "\r\n", Pieces(1033, 'x') + "\n|"},
      {std::string(1022, 'y') + "\n", std::string(1022, 'y') + "\n|"},
      // Across the blocks the file is read in: a CR at the end of the first
      // with its LF at the start of the next; a control Z in the third.
      {std::string(TextReader::kBlockSize - 1, 'x') + "\r\nshort\n" +
           std::string(TextReader::kBlockSize, 'z') + "\x1A" + "after",
       Pieces(TextReader::kBlockSize - 1, 'x') + "\n|short\n|" +
           Pieces(TextReader::kBlockSize, 'z') + "|"},
  };
  for (const auto& [bytes, lines] : cases) {
    EXPECT_EQ(ReadAll(bytes), lines) << bytes.substr(0, 10);
  }
}

// The readers stop at their limit. (What could block them or never end is
// refused; the tests of the settings file and the library show it.)
TEST(TextReaderTest, ReadersStopAtTheirLimit) {
  testing::TempDir dir;
  std::string contents;
  TextReader reader;
  EXPECT_EQ(ReadFileContents(dir.Write("64", std::string(64, 'x')), &contents, 64), 0);
  EXPECT_EQ(contents.size(), 64u);
  EXPECT_EQ(ReadFileContents(dir.Write("65", std::string(65, 'x')), &contents, 64), kFileTooLarge);
  EXPECT_EQ(reader.Open(dir.File("65"), 64), kFileTooLarge);
  EXPECT_EQ(ReadFileContents(dir.File("none"), &contents, 64), ENOENT);
  EXPECT_EQ(reader.Open(dir.File("none")), ENOENT);
  // A file of /proc tells no size: only the reading finds the limit.
  const char* proc = "/proc/self/maps";
  EXPECT_EQ(ReadFileContents(proc, &contents, 64), kFileTooLarge);
  EXPECT_EQ(contents, "");
  ASSERT_EQ(reader.Open(proc, 64), 0);
  for (std::string line; reader.ReadLine(line);) {
  }
  EXPECT_EQ(reader.error(), kFileTooLarge);
}

}  // namespace
}  // namespace zivivar
