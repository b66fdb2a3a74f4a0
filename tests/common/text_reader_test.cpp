#include "common/text_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

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
  };
  for (const auto& [bytes, lines] : cases) {
    EXPECT_EQ(ReadAll(bytes), lines) << bytes.substr(0, 10);
  }
}

TEST(TextReaderTest, RulesHoldAcrossTheBlocksTheFileIsReadIn) {
  // The CR is the last byte of the first block, its LF the first of the
  // next; a control Z waits in the third.
  const size_t block = TextReader::kBlockSize;
  EXPECT_EQ(ReadAll(std::string(block - 1, 'x') + "\r\nshort\n" + std::string(block, 'z') + "\x1A" +
                    "after"),
            Pieces(block - 1, 'x') + "\n|short\n|" + Pieces(block, 'z') + "|");
}

TEST(TextReaderTest, MissingFileReportsErrno) {
  TextReader reader;
  EXPECT_EQ(reader.Open("/nonexistent/dir/file"), ENOENT);
  std::string line;
  EXPECT_FALSE(reader.ReadLine(line));
}

}  // namespace
}  // namespace zivivar
