// The built zivivar-cli as a process: exit statuses, the split of the
// streams, and the chip kept between runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "cli/cli_fixture.h"

namespace zivivar::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class CliProcessTest : public CliTest {
 protected:
  // Runs the tool in the test directory with args (shell words without
  // quotes of their own), standard input closed.
  CliResult Exec(const std::string& args) {
    const std::string command = "cd '" + dir_.path() + "' && '" + ZIVIVAR_CLI_PATH + "' " + args +
                                " >out.txt 2>err.txt </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir_.Read("out.txt"),
            dir_.Read("err.txt")};
  }
};

TEST_F(CliProcessTest, TheChipIsKeptBetweenRunsAndTheSettingsFileIsNeverWritten) {
  dir_.Write("KORVALNK.INI", "[Hardware]\r\nSimulator=1\r\n");
  dir_.Write("fw.bin", std::string("\x02\x00\x08\x80\xFE", 5));
  CliResult result = Exec("-d AT89S52 program fw.bin");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "Keine Fehler beim prüfen\n") << "not a terminal: no progress bar";
  EXPECT_TRUE(dir_.Exists("zivivar-sim.bin"));

  dir_.Write("other.bin", std::string("\x02\x00\x09", 3));
  result = Exec("-d AT89S52 verify other.bin");
  EXPECT_EQ(result.status, 6);
  EXPECT_THAT(result.err, HasSubstr("Programmspeicher Fehler\nan Adresse 2 (0x2) !"));
  result = Exec("-d AT89S52 read copy --format intel8");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "copy.hex\n");
  EXPECT_THAT(dir_.Read("copy.hex"), StartsWith(":2000000002000880FEFFFF"));
  EXPECT_EQ(dir_.Read("KORVALNK.INI"), "[Hardware]\r\nSimulator=1\r\n");
}

}  // namespace
}  // namespace zivivar::testing
