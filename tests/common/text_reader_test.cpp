#include "common/text_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "common/file_contents.h"
#include "support/endless_file.h"
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

// What could block a reader or never end is refused by both readers; the
// whole-file reader also refuses a file longer than its limit.
TEST(TextReaderTest, ReadersRefuseWhatCouldBlockOrNeverEnd) {
  testing::TempDir dir;
  const std::string path = dir.File("f");
  // The results of ReadFileContents with a limit of 64 and of TextReader::Open
  // (read to its end), with the size of the contents read whole.
  auto read = [&] {
    return testing::InChild([&] {
      std::string contents = "stale";
      const int whole = ReadFileContents(path, &contents, 64);
      TextReader reader;
      const int opened = reader.Open(path);
      for (std::string line; reader.ReadLine(line);) {
      }
      return std::to_string(whole) + " " + std::to_string(contents.size()) + " " +
             std::to_string(opened);
    });
  };
  const std::string refused = std::to_string(kNotRegularFile);
  for (const char* kind : testing::kEndlessFiles) {
    testing::EndlessFile file(path, kind);
    EXPECT_EQ(read(), refused + " 0 " + refused) << kind;
  }
  dir.Write("f", std::string(65, 'x'));
  EXPECT_EQ(read(), std::to_string(kFileTooLarge) + " 0 0");
  dir.Write("f", std::string(64, 'x'));
  EXPECT_EQ(read(), "0 64 0");
  std::filesystem::remove(path);
  EXPECT_EQ(read(), std::to_string(ENOENT) + " 0 " + std::to_string(ENOENT));

  // A file whose size the system does not tell ends at the limit all the same.
  const char* proc = "/proc/self/maps";
  TextReader reader;
  ASSERT_EQ(reader.Open(proc, 64), 0);
  for (std::string line; reader.ReadLine(line);) {
  }
  EXPECT_EQ(reader.error(), kFileTooLarge);
  std::string contents;
  EXPECT_EQ(ReadFileContents(proc, &contents, 64), kFileTooLarge);
}

}  // namespace
}  // namespace zivivar
