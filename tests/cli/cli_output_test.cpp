// What the command line writes and says: exactly the files named, the
// standard streams for "-", existing files replaced whole or kept with
// --no-clobber, the summary line, and an exit status per outcome.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "cli/cli_fixture.h"

namespace zivivar::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Four bytes at 0100-0103 in Intel HEX.
constexpr char kFirmware[] = ":040100000200088071\r\n:00000001FF\r\n";

class CliOutputTest : public CliSimTest {
 protected:
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
  // The text with the time taken as "T".
  static std::string Untimed(const std::string& text) {
    return std::regex_replace(text, std::regex(", in [0-9]+\\.[0-9] s\n"), ", in T s\n");
  }
};

TEST_F(CliOutputTest, ReadWritesExactlyThePathGivenOrStandardOutput) {
  const std::string code = Image(8192, 1);
  const std::string eeprom = Image(2048, 2);
  dir_.Write("fw.bin", code);
  dir_.Write("fw.eep", eeprom);
  ASSERT_EQ(Sim("AT89S8252", {"program", dir_.File("fw.bin")}).status, 0);
  const struct {
    std::vector<std::string> args;  // after "read FILE"
    const char* file;
    std::set<std::string> written;
    int status;
  } cases[] = {
      {{"--format", "s1"}, "a.s19", {"a.s19", "a.eep"}, 0},
      {{"--format", "intel8"}, "b.bin", {"b.bin", "b.eep"}, 0},
      {{"--format", "bin"}, "noext", {"noext", "noext.eep"}, 0},
      {{"--format", "bin", "--eeprom", dir_.File("e2.bin")}, "c.hex", {"c.hex", "e2.bin"}, 0},
      {{"--format", "bin", "--no-eeprom"}, "d.hex", {"d.hex"}, 0},
      // The code file cannot be its own companion.
      {{"--format", "bin"}, "f.eep", {}, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::set<std::string> before = Files();
    std::vector<std::string> args = {"read", dir_.File(c.file)};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult result = Sim("AT89S8252", args);
    EXPECT_EQ(result.status, c.status) << result.err;
    std::set<std::string> written;
    for (const std::string& name : Files()) {
      if (!before.contains(name))
        written.insert(name);
    }
    EXPECT_EQ(written, c.written);
    if (c.status == 0 && c.args[1] == "bin") {
      EXPECT_TRUE(dir_.Read(c.file) == code);
    }
  }
  EXPECT_TRUE(dir_.Read("noext.eep") == eeprom);
  // A read-out verifies with its companion.
  CliResult result = Sim("AT89S8252", {"verify", dir_.File("a.s19")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr(" and EEPROM " + dir_.File("a.eep")));

  // "-": the code memory alone, unless the EEPROM's file is named.
  const std::set<std::string> before = Files();
  result = Sim("AT89S8252", {"read", "-", "--format", "s1"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, dir_.Read("a.s19"));
  result = Sim("AT89S8252", {"read", "-", "--format", "s1", "--eeprom", dir_.File("e.s19")});
  EXPECT_EQ(result.out, dir_.Read("a.s19"));
  EXPECT_EQ(dir_.Read("e.s19"), dir_.Read("a.eep"));
  EXPECT_EQ(Files().size(), before.size() + 1);
}

TEST_F(CliOutputTest, AnExistingOutputIsReplacedWholeOrKeptWithNoClobber) {
  dir_.Write("fw.bin", Image(8192, 5));
  dir_.Write("fw.eep", Image(2048, 6));
  ASSERT_EQ(Sim("AT89S8252", {"program", dir_.File("fw.bin")}).status, 0);
  const std::string state = dir_.Read("chip.zvchip");
  dir_.Write("old.hex", "old");
  dir_.Write("new.eep", "old eeprom");
  const std::vector<std::string> refused[] = {
      {"read", dir_.File("old.hex")},
      {"read", dir_.File("new.hex")},  // its companion new.eep exists
      {"convert", dir_.File("fw.bin"), dir_.File("old.hex")},
  };
  for (std::vector<std::string> args : refused) {
    SCOPED_TRACE(args[1]);
    args.insert(args.begin(), {"--trace", dir_.File("trace")});
    args.push_back("--no-clobber");
    const CliResult result = Sim("AT89S8252", args);
    EXPECT_EQ(result.status, 26);
    EXPECT_THAT(result.err, HasSubstr("exists; it is not replaced (--no-clobber)\n"));
    EXPECT_EQ(dir_.Read("old.hex"), "old");
    EXPECT_EQ(dir_.Read("new.eep"), "old eeprom");
    EXPECT_FALSE(dir_.Exists("new.hex"));
    EXPECT_EQ(dir_.Read("trace"), "") << "the adapter was not touched";
    EXPECT_EQ(dir_.Read("chip.zvchip"), state);
  }

  EXPECT_EQ(Sim("AT89S8252", {"read", dir_.File("old.hex"), "--format", "bin"}).status, 0);
  EXPECT_EQ(dir_.Read("old.hex"), Image(8192, 5));
}

TEST_F(CliOutputTest, AMissingCompanionIsSkippedWithALineAndTheLockBitsFollow) {
  dir_.Write("fw.bin", Image(1024, 7));
  CliResult result = Sim("AT89S8252", {"program", dir_.File("fw.bin"), "--lock", "1"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr("zivivar-cli: no " + dir_.File("fw.eep") +
                                    "; the EEPROM is skipped\nprogrammed "));
  EXPECT_EQ(Chip().lock_bits, sim::kLockBit1);
  EXPECT_EQ(Chip().eeprom, std::vector<uint8_t>(2048, 0xFF));

  // A file named is never skipped.
  result = Sim("AT89S8252", {"verify", dir_.File("fw.bin"), "--eeprom", dir_.File("no.eep")});
  EXPECT_EQ(result.status, 3);
}

// Each job ends with one summary line, and the window's success boxes are
// never shown; -q says nothing on success and -v lists the steps.
TEST_F(CliOutputTest, EachJobEndsWithOneSummaryLineOrAsMuchAsAskedFor) {
  dir_.Write("fw.ihx", kFirmware);
  dir_.Write("notes.txt", "flash me\r\n");
  const std::string fw = dir_.File("fw.ihx") + " (Intel HEX, 4 bytes, 0100-0103)";
  const std::string check = "zivivar-cli: check the chip's signature (1E 52 06, AT89S52)\n";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"-q", "-y", "erase"}, ""},
      {{"program", dir_.File("fw.ihx"), "-q"}, ""},
      {{"-v", "program", dir_.File("fw.ihx"), "--lock", "1"},
       check +
           "zivivar-cli: erase and program code memory\nzivivar-cli: verify code memory\n"
           "zivivar-cli: program lock bits\nprogrammed " +
           fw + " into AT89S52, verified, lock bit 1, in T s\n"},
      {{"-v", "program", dir_.File("fw.ihx"), "--no-verify"},
       check + "zivivar-cli: erase and program code memory\nprogrammed " + fw +
           " into AT89S52, in T s\n"},
      {{"verify", dir_.File("fw.ihx")}, "verified " + fw + " against AT89S52, in T s\n"},
      {{"program", dir_.File("notes.txt")},
       "zivivar-cli: warning: " + dir_.File("notes.txt") +
           " reads as text but is in no format known here; it is taken as a binary image\n"
           "programmed " +
           dir_.File("notes.txt") +
           " (binary, 10 bytes, 0000-0009) into AT89S52, verified, in T s\n"},
      {{"-y", "erase"}, "erased AT89S52 and checked it blank, in T s\n"},
      {{"blank"}, "checked AT89S52: blank, in T s\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    const CliResult result = Sim("AT89S52", c.args);
    EXPECT_EQ(result.status, 0);
    if (c.err.empty()) {
      EXPECT_EQ(result.err, "");
    } else {  // the erase's question comes before
      EXPECT_THAT(Untimed(result.err), ::testing::EndsWith(c.err));
    }
    EXPECT_THAT(result.err, Not(HasSubstr("No errors")));
    EXPECT_THAT(result.err, Not(HasSubstr("is blank")));
  }
}

}  // namespace
}  // namespace zivivar::testing
