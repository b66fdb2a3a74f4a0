#include "common/text_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>

#include "common/file_contents.h"
#include "support/in_child.h"
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

// What could block a reader or never end is refused by both readers, a
// file longer than the limit by the whole-file reader; a missing one gives
// its errno. Each case runs in a child that is killed should it hang.
TEST(TextReaderTest, ReadersRefuseWhatCouldBlockOrNeverEnd) {
  testing::TempDir dir;
  const std::string path = dir.File("f");
  const std::tuple<std::string, int, int> cases[] = {
      // source, result of ReadFileContents with a limit of 64, of TextReader::Open
      {"fifo", kNotRegularFile, kNotRegularFile},
      {"fifo with writer", kNotRegularFile, kNotRegularFile},
      {"/dev/zero", kNotRegularFile, kNotRegularFile},
      {"65 bytes", kFileTooLarge, 0},
      {"64 bytes", 0, 0},
      {"missing", ENOENT, ENOENT},
  };
  for (const auto& [name, whole, lines] : cases) {
    std::filesystem::remove(path);
    int writer = -1;
    if (name == "/dev/zero") {
      std::filesystem::create_symlink(name, path);
    } else if (name.starts_with("fifo")) {
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
      // A writer that never closes: reading to the end would wait for ever.
      if (name == "fifo with writer") {
        writer = open(path.c_str(), O_RDWR);
        ASSERT_EQ(write(writer, "x\n", 2), 2);
      }
    } else if (name != "missing") {
      dir.Write("f", std::string(name == "64 bytes" ? 64 : 65, 'x'));
    }
    const std::optional<std::string> results = testing::InChild([&] {
      std::string contents = "stale";
      const int read = ReadFileContents(path, &contents, 64);
      TextReader reader;
      const int opened = reader.Open(path);
      std::string line;
      while (reader.ReadLine(line)) {
      }
      return std::to_string(read) + " " + std::to_string(contents.size()) + " " +
             std::to_string(opened);
    });
    if (writer >= 0)
      close(writer);
    EXPECT_EQ(results,
              std::to_string(whole) + " " + (whole == 0 ? "64" : "0") + " " + std::to_string(lines))
        << name;
  }
}

}  // namespace
}  // namespace zivivar
