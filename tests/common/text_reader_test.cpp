#include "common/text_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace zivivar {
namespace {

std::vector<std::string> ReadAll(const std::string& bytes) {
  testing::TempDir dir;
  TextReader reader;
  EXPECT_EQ(reader.Open(dir.Write("f.txt", bytes)), 0);
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  EXPECT_FALSE(reader.Failed());
  return lines;
}

TEST(TextReaderTest, CarriageReturnBeforeLineFeedIsDropped) {
  EXPECT_EQ(ReadAll("a\r\nb\nc\r\n"), (std::vector<std::string>{"a\n", "b\n", "c\n"}));
}

TEST(TextReaderTest, LoneCarriageReturnIsKept) {
  EXPECT_EQ(ReadAll("a\rb\n\r"), (std::vector<std::string>{"a\rb\n", "\r"}));
}

TEST(TextReaderTest, ControlZEndsTheFile) {
  EXPECT_EQ(ReadAll("a\n\x1A" "b\n"), (std::vector<std::string>{"a\n"}));
  EXPECT_EQ(ReadAll("a\r\x1A"), (std::vector<std::string>{"a\r"}));
}

TEST(TextReaderTest, LastLineWithoutLineBreakIsReturned) {
  EXPECT_EQ(ReadAll("a\nlast"), (std::vector<std::string>{"a\n", "last"}));
}

TEST(TextReaderTest, LongLinesComeInPiecesOf1023) {
  const std::string longer(1023 + 10, 'x');
  const auto lines = ReadAll(longer + "\r\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(1023, 'x'));
  EXPECT_EQ(lines[1], std::string(10, 'x') + "\n");
  // Exactly 1022 characters and the line feed fit in one read.
  EXPECT_EQ(ReadAll(std::string(1022, 'y') + "\n").size(), 1u);
}

TEST(TextReaderTest, RulesHoldAcrossTheBlocksTheFileIsReadIn) {
  // The carriage return is the last byte of the first block, its line feed
  // the first of the next; a control Z waits in the third.
  const size_t block = TextReader::kBlockSize;
  std::string bytes(block - 1, 'x');
  bytes += "\r\nshort\n";
  bytes += std::string(block, 'z') + "\x1A" + "after";
  const auto lines = ReadAll(bytes);
  const size_t pieces = (block - 1) / 1023;
  ASSERT_EQ(lines.size(), pieces + 2 + (block + 1022) / 1023);
  EXPECT_EQ(lines[pieces], std::string((block - 1) % 1023, 'x') + "\n");
  EXPECT_EQ(lines[pieces + 1], "short\n");
  std::string rest;
  for (size_t i = pieces + 2; i < lines.size(); ++i) rest += lines[i];
  EXPECT_EQ(rest, std::string(block, 'z'));
}

TEST(TextReaderTest, MissingFileReportsErrno) {
  TextReader reader;
  EXPECT_EQ(reader.Open("/nonexistent/dir/file"), ENOENT);
  EXPECT_FALSE(reader.IsOpen());
  std::string line;
  EXPECT_FALSE(reader.ReadLine(line));
}

}  // namespace
}  // namespace zivivar
