// The built zivivar-cli as a process: its streams and pipes. The installed
// tool's whole jobs are run by scripts/test-install.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "cli/cli_fixture.h"

namespace zivivar::testing {
namespace {

using ::testing::StartsWith;

class CliProcessTest : public CliTest {
 protected:
  // The locks, the user's configuration and the simulated chips in the test
  // directory: other runs of the tool (parallel tests, other checkouts) must
  // not make this one wait or refuse, nor see its chip. LC_ALL=C: the tool's
  // default language, whatever the locale of the machine.
  std::string Locks() const {
    return "LC_ALL=C XDG_RUNTIME_DIR='" + dir_.path() + "' XDG_CONFIG_HOME='" +
           dir_.File("config") + "' XDG_STATE_HOME='" + dir_.File("state") + "' ";
  }
  // Runs the tool in the test directory with args (shell words without
  // quotes of their own), standard input closed. LC_ALL=C: the tool's
  // default language, whatever the locale of the machine.
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
      {"cat fw.ihx | " + cli + "program -", "programmed standard input (Intel HEX, 4 bytes"},
      {cli + "verify <(cat fw.ihx) </dev/null", "verified /dev/fd/"},
      {"cat fw.ihx | " + cli + "convert - - --format intel8", "converted standard input"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shell_line);
    const std::string command =
        "cd '" + dir_.path() + "' && bash -c \"" + c.shell_line + " >out.txt 2>err.txt\"";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << dir_.Read("err.txt");
    EXPECT_THAT(dir_.Read("err.txt"), StartsWith(c.err));
  }
  const std::string piped = dir_.Read("out.txt");  // the last case's standard output
  ASSERT_EQ(Exec("-d AT89S52 convert fw.ihx direct.ihx --format intel8").status, 0);
  EXPECT_EQ(piped, dir_.Read("direct.ihx"));
}

TEST_F(CliProcessTest, SpeaksEnglishUnlessTheLocaleIsGermanGeneratedOrNot) {
  dir_.Write("KORVALNK.INI", "[Hardware]\r\nSimulator=1\r\n");
  // de_DE.UTF-8 need not exist on the machine. Without -y the erase is declined.
  // Also the tool's own texts: a usage error, the help, the signature check.
  const struct {
    const char* locale;
    const char* declined;
    const char* blank;
    const char* usage;
    const char* help;
    const char* wrong_chip;
  } cases[] = {
      {"LANG=C.UTF-8",
       "*** AT89S52 ***\n\n*** Erase the controller ***\n\n\n\nThe ISP adapter must sit in "
       "socket 1; --yes confirms.\n-> Cancel\n",
       "checked AT89S52: blank, in ",
       "zivivar-cli: program takes one file argument\nTry 'zivivar-cli --help'.\n",
       "Usage: zivivar-cli [OPTIONS] erase\nChecks the chip's signature, erases",
       "zivivar-cli: the chip in the socket is not AT89S52 (signature 1E 52 06): it answers "
       "1E 51 06, which is Atmel AT89S51; nothing was changed"},
      {"LANG=de_DE.UTF-8",
       "*** AT89S52 ***\n\n*** Controller löschen ***\n\n\n\nISP-Adapter in Sockel 1 "
       "einsetzen; --yes bestätigt.\n-> Cancel\n",
       "AT89S52 geprüft: leer, in ",
       "zivivar-cli: program nimmt genau eine Datei\nMehr mit 'zivivar-cli --help'.\n",
       "Aufruf: zivivar-cli [OPTIONEN] erase\nPrüft die Signatur des Bausteins, löscht",
       "zivivar-cli: der Baustein im Sockel ist kein AT89S52 (Signatur 1E 52 06): er antwortet "
       "1E 51 06, also Atmel AT89S51; nichts wurde verändert"},
  };
  for (const auto& [locale, declined, blank, usage, help, wrong_chip] : cases) {
    const std::string run = "cd '" + dir_.path() + "' && env -u LC_MESSAGES -u LANGUAGE " +
                            Locks() + "LC_ALL= " + locale + " '" + ZIVIVAR_CLI_PATH +
                            "' -d AT89S52 ";
    EXPECT_NE(std::system((run + "erase 2>err.txt").c_str()), 0);
    EXPECT_EQ(dir_.Read("err.txt"), declined) << locale;
    EXPECT_EQ(std::system((run + "blank 2>err.txt").c_str()), 0);
    EXPECT_THAT(dir_.Read("err.txt"), StartsWith(blank)) << locale;
    EXPECT_NE(std::system((run + "program 2>err.txt").c_str()), 0);
    EXPECT_EQ(dir_.Read("err.txt"), usage) << locale;
    EXPECT_EQ(std::system((run + "help erase >out.txt").c_str()), 0);
    EXPECT_THAT(dir_.Read("out.txt"), StartsWith(help)) << locale;
    EXPECT_NE(std::system((run + "--set SimChip=AT89S51 -y erase 2>err.txt").c_str()), 0);
    EXPECT_THAT(dir_.Read("err.txt"), StartsWith(wrong_chip)) << locale;
  }
}

TEST_F(CliProcessTest, CtrlCWhileAPipeIsReadEndsWith130AndErasesNothing) {
  dir_.Write("KORVALNK.INI", "[Hardware]\r\nSimulator=1\r\n");
  dir_.Write("fw.ihx", ":040000000200088072\r\n:00000001FF\r\n");
  ASSERT_EQ(Exec("-d AT89S52 program fw.ihx").status, 0);
  // The data comes after the interrupt; the run must not erase the chip for it.
  const std::string command = "cd '" + dir_.path() + "' && bash -c \"{ sleep 2; cat fw.ihx; } | " +
                              Locks() + "'" + ZIVIVAR_CLI_PATH +
                              "' -d AT89S52 program - 2>err.txt & sleep 1; kill -INT \\$!; "
                              "wait \\$!; echo \\$? >status.txt\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(dir_.Read("status.txt"), "130\n");
  EXPECT_EQ(dir_.Read("err.txt"), "zivivar-cli: interrupted\n");
  EXPECT_EQ(Exec("-d AT89S52 verify fw.ihx").status, 0);
}

}  // namespace
}  // namespace zivivar::testing
