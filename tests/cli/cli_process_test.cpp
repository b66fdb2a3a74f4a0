// The built zivivar-cli as a process: its streams and pipes. The installed
// tool's whole jobs are run by scripts/test-install.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "cli/cli_fixture.h"

namespace zivivar::testing {
namespace {

using ::testing::HasSubstr;

class CliProcessTest : public CliTest {
 protected:
  // The locks, the user's configuration and the simulated chips in the test
  // directory: other runs of the tool (parallel tests, other checkouts) must
  // not make this one wait or refuse, nor see its chip.
  std::string Locks() const {
    return "XDG_RUNTIME_DIR='" + dir_.path() + "' XDG_CONFIG_HOME='" + dir_.File("config") +
           "' XDG_STATE_HOME='" + dir_.File("state") + "' ";
  }
  // Runs the tool in the test directory with args (shell words without
  // quotes of their own), standard input closed.
  CliResult Exec(const std::string& args) {
    const std::string command = "cd '" + dir_.path() + "' && " + Locks() + "'" + ZIVIVAR_CLI_PATH +
                                "' " + args + " >out.txt 2>err.txt </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir_.Read("out.txt"),
            dir_.Read("err.txt")};
  }
};

TEST_F(CliProcessTest, DataFilesComeThroughPipesWhole) {
  dir_.Write("KORVALNK.INI", "[Hardware]\r\nSimulator=1\r\n");
  const std::string hex = ":040000000200088072\r\n:00000001FF\r\n";
  dir_.Write("fw.ihx", hex);
  const std::string cli = Locks() + "'" + ZIVIVAR_CLI_PATH + "' -d AT89S52 ";
  // Recognising the format once used up the stream: the chip was erased,
  // nothing written, and the run passed.
  const struct {
    std::string shell_line;
    const char* err;
  } cases[] = {
      {"cat fw.ihx | " + cli + "program /dev/stdin", "Keine Fehler beim prüfen\n"},
      {cli + "verify <(cat fw.ihx) </dev/null", "Keine Fehler beim Prüfen\n"},
      {"cat fw.ihx | " + cli + "convert /dev/stdin copy.ihx --format intel8", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shell_line);
    const std::string command =
        "cd '" + dir_.path() + "' && bash -c \"" + c.shell_line + " >out.txt 2>err.txt\"";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << dir_.Read("err.txt");
    EXPECT_EQ(dir_.Read("err.txt"), c.err);
  }
  ASSERT_EQ(Exec("-d AT89S52 convert fw.ihx direct.ihx --format intel8").status, 0);
  EXPECT_EQ(dir_.Read("copy.ihx"), dir_.Read("direct.ihx"));
  // A pipe that never ends is cut off at the size limit.
  const CliResult result = Exec("-d AT89S52 program /dev/zero");
  EXPECT_EQ(result.status, 3);
  EXPECT_THAT(result.err, HasSubstr("Datei zu groß"));
}

}  // namespace
}  // namespace zivivar::testing
