// The command line against the simulated adapter and chip: whole jobs from
// files to the chip and back, and the exit status of every kind of failure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "cli/cli_fixture.h"

namespace zivivar::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

TEST_F(CliSimTest, FailuresEndWithTheResultOfTheOperationThatFailed) {
  dir_.Write("fw.bin", Image(2048, 6));
  std::string other = Image(2048, 6);
  other[7] = static_cast<char>(other[7] ^ 1);
  dir_.Write("other.bin", other);
  ASSERT_EQ(Sim("AT89S52", {"program", dir_.File("fw.bin")}).status, 0);
  const struct {
    std::vector<std::string> args;
    int status;
    const char* err;
  } cases[] = {
      {{"verify", dir_.File("other.bin")}, 6, "Code memory error\nat address 7 (0x7)!\n"},
      // The library's erase wait is too short for a chip erase of 2 s.
      {{"--set", "SimEraseTime=2000000", "program", dir_.File("fw.bin")},
       7,
       "simulator: the chip ignored a write: chip still erasing, 1,013,540 of 2,000,000 µs "
       "done (-v lists all)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[c.args.size() - 2]);
    const CliResult result = Sim("AT89S52", c.args);
    EXPECT_EQ(result.status, c.status);
    EXPECT_THAT(result.err, HasSubstr(c.err));
    EXPECT_THAT(result.err, Not(HasSubstr("No errors")));
  }
}

TEST_F(CliSimTest, AnEmptySocketFailsEveryCommandAndChangesNothing) {
  dir_.Write("fw.bin", Image(2048, 6));
  ASSERT_EQ(Sim("AT89S52", {"program", dir_.File("fw.bin")}).status, 0);
  const std::string state = dir_.Read("chip.zvchip");
  dir_.Write("b.hex", "good backup");
  const std::vector<std::vector<std::string>> commands = {
      {"program", dir_.File("fw.bin")},
      {"read", dir_.File("b.hex"), "--format", "intel8"},
  };
  for (std::vector<std::string> args : commands) {
    SCOPED_TRACE(args[0] + " " + args[1 % args.size()]);
    args.insert(args.begin(), {"--set", "SimFault=nochip"});
    const CliResult result = Sim("AT89S52", args);
    EXPECT_EQ(result.status, 11);
    EXPECT_THAT(result.err, HasSubstr("SPISync failed!\n\nIs the adapter in socket 1?"));
    for (const char* success : {"No errors", "is blank", "saved", "Programming error"})
      EXPECT_THAT(result.err, Not(HasSubstr(success)));
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(dir_.Read("chip.zvchip"), state);
    EXPECT_EQ(dir_.Read("b.hex"), "good backup");
  }
}

TEST_F(CliSimTest, AStateFileThatHoldsNoChipIsNeverOverwritten) {
  dir_.Write("fw.bin", Image(1024, 7));
  ASSERT_EQ(Sim("AT89S52", {"program", dir_.File("fw.bin")}).status, 0);
  const std::string good = dir_.Read("chip.zvchip");
  const struct {
    std::string contents;
    const char* problem;
    std::vector<std::string> args;
  } cases[] = {
      {good.substr(0, good.size() / 2), "The file is too short.", {"blank"}},
      {":00000001FF\r\n", "The file is no state file.", {"read", dir_.File("r.bin")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0]);
    dir_.Write("chip.zvchip", c.contents);
    const CliResult result = Sim("AT89S52", c.args);
    EXPECT_EQ(result.status, 23);
    EXPECT_THAT(result.err, HasSubstr(dir_.File("chip.zvchip") + "\n\n" + c.problem +
                                      "\n\nThe file is not overwritten."));
    EXPECT_THAT(result.err, Not(HasSubstr("No errors")));
    EXPECT_EQ(dir_.Read("chip.zvchip"), c.contents);
  }
}

TEST_F(CliSimTest, TheChipIsSavedBeforeSuccessAndOnlyByCommandsThatChangeIt) {
  dir_.Write("fw.bin", Image(1024, 8));
  // A state that cannot be written fails the command, with no success told.
  const std::string nowhere = dir_.File("no/dir/chip.zvchip");
  const struct {
    std::vector<std::string> args;
    const char* success;
  } unsaved[] = {
      {{"program", dir_.File("fw.bin")}, "No errors"},
      {{"-y", "erase"}, "is blank"},
  };
  for (const auto& c : unsaved) {
    SCOPED_TRACE(c.args.back());
    std::vector<std::string> args = {"--simulator", "--sim-state", nowhere, "-d", "AT89S52"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult result = Run(args);
    EXPECT_EQ(result.status, 24);
    EXPECT_THAT(result.err, HasSubstr("Cannot write the simulator's state file:\n" + nowhere));
    EXPECT_THAT(result.err, Not(HasSubstr(c.success)));
  }

  // Every save puts a new file in place; a command that only looks at the
  // chip leaves the one there.
  ASSERT_EQ(Sim("AT89S52", {"program", dir_.File("fw.bin")}).status, 0);
  auto inode = [this] {
    struct stat info {};
    EXPECT_EQ(::stat(dir_.File("chip.zvchip").c_str(), &info), 0);
    return info.st_ino;
  };
  const std::vector<std::vector<std::string>> looking = {
      {"blank"},
      {"verify", dir_.File("fw.bin")},
      {"read", dir_.File("copy"), "--format", "intel8"},
      {"detect"},
  };
  for (const auto& args : looking) {
    SCOPED_TRACE(args.back());
    const auto before = inode();
    Sim("AT89S52", args);
    EXPECT_EQ(inode(), before);
  }
}

TEST_F(CliSimTest, TheStateFileAndReadOutsKeepOutOfEachOthersWay) {
  dir_.Write("fw.bin", Image(8192, 9));
  dir_.Write("fw.eep", Image(2048, 10));
  ASSERT_EQ(Sim("AT89S8252", {"program", dir_.File("fw.bin")}).status, 0);
  const std::string state = dir_.Read("chip.zvchip");

  // Another kind in the socket is replaced with a word, and a look at the
  // new chip does not replace the file.
  CliResult result = Sim("AT89S52", {"blank"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr("held a chip of another kind:\nSPIMODE 3, 8192 Bytes "
                                    "Code, 2048 Bytes EEPROM\n"));
  EXPECT_EQ(dir_.Read("chip.zvchip"), state);

  // A read-out whose adapter is lost in the EEPROM (the code memory takes
  // some 1.05 million register writes) leaves both old files.
  dir_.Write("b.hex", "old code");
  dir_.Write("b.eep", "old eeprom");
  result = Sim("AT89S8252", {"--set", "SimFault=lost-after=1250000", "read", dir_.File("b.hex"),
                             "--format", "s1"});
  EXPECT_EQ(result.status, 10);
  EXPECT_EQ(dir_.Read("b.hex"), "old code");
  EXPECT_EQ(dir_.Read("b.eep"), "old eeprom");

  // A read-out into the state file, code or EEPROM, is refused.
  for (const auto& [state_name, format] : {std::pair{"st.bin", "bin"}, {"st.eep", "intel8"}}) {
    SCOPED_TRACE(state_name);
    dir_.Write(state_name, state);
    result = Run({"--simulator", "--sim-state", dir_.File(state_name), "-d", "AT89S8252", "read",
                  dir_.File(std::string(format) == "bin" ? "st.bin" : "st"), "--format", format});
    EXPECT_EQ(result.status, 4);
    EXPECT_THAT(result.err, HasSubstr(dir_.File(state_name) + "\n\nis the simulator's state file"));
    EXPECT_THAT(result.err, Not(HasSubstr("gespeichert")));
    EXPECT_EQ(dir_.Read(state_name), state);
    EXPECT_FALSE(dir_.Exists("st"));
  }
}

TEST_F(CliSimTest, ConvertWritesWhatTheReadOutWouldWithoutADevice) {
  const std::string image = Image(300, 9);
  dir_.Write("in.bin", image);
  dir_.Write("big.bin", Image(5000, 10));
  // FFSave keeps the blank bytes up to the end of the code memory.
  auto convert = [&](const std::string& in, const std::string& out, const char* format) {
    return Run({"-d", "AT89S51", "--set", "FFSave=1", "convert", dir_.File(in), dir_.File(out),
                "--format", format});
  };
  EXPECT_EQ(convert("in.bin", "out.bin", "bin").status, 0);
  EXPECT_EQ(dir_.Read("out.bin"), image + std::string(4096 - 300, '\xFF'));

  CliResult result = convert("big.bin", "x.bin", "bin");
  EXPECT_EQ(result.status, 3);
  EXPECT_THAT(result.err, StartsWith("Too much data for this device!"));
  EXPECT_FALSE(dir_.Exists("x.bin"));
  result = convert("in.bin", "no/dir/x.hex", "intel8");
  EXPECT_EQ(result.status, 4);
  EXPECT_THAT(result.err, StartsWith("Cannot open the file\n\n"));
  // TekChecksum=1: the checksums of the Tektronix lines are sums of digits.
  dir_.Write("four.bin", std::string("\x02\x00\x30\xFF", 4));
  EXPECT_EQ(Run({"-d", "AT89S51", "--set", "TekChecksum=1", "--set", "HexLineLen=4", "convert",
                 dir_.File("four.bin"), dir_.File("four.tek"), "--format", "tek"})
                .status,
            0);
  EXPECT_EQ(dir_.Read("four.tek"), "/00000404020030FF23\r\n");
}

}  // namespace
}  // namespace zivivar::testing

namespace zivivar::testing {
namespace {

// Before erase and program the chip's signature is compared with the
// device's; SimChip puts another part into the simulated socket.
TEST_F(CliSimTest, TheSignatureCheckStopsAWrongPartBeforeAnythingIsErased) {
  const std::string fw = Image(2048, 7);
  dir_.Write("fw.bin", fw);
  auto sim = [&](const std::string& chip, std::vector<std::string> args) {
    args.insert(args.begin(), {"--simulator", "--sim-state", dir_.File("chip.zvchip"), "--set",
                               "SimChip=" + chip});
    return Run(args);
  };
  const std::string wrong =
      "zivivar-cli: the chip in the socket is not AT89S52 (signature 1E 52 06): it answers "
      "1E 51 06, which is Atmel AT89S51; nothing was changed (--no-signature skips this check)\n";
  const struct {
    const char* chip;
    const char* lock;  // the level the chip was programmed with
    std::vector<std::string> args;
    int status;
    std::string err;
    bool erased;
  } cases[] = {
      {"AT89S51", "1", {"-d", "AT89S52", "-y", "erase"}, 27, wrong, false},
      {"AT89S51", "0", {"-d", "AT89S52", "program", dir_.File("fw.bin")}, 27, wrong, false},
      {"AT89S51", "0", {"-d", "AT89S52", "-y", "erase", "--no-signature"}, 0, "", true},
      {"AT89S51",
       "0",
       {"-d", "auto", "-y", "erase"},
       0,
       "-d auto: AT89S51 (signature 1E 51 06)\n",
       true},
      {"at89s52",
       "2",
       {"-d", "AT89S52", "-y", "erase"},
       0,
       "warning: the chip's signature reads 00 00 00: it cannot be read while lock bit 2 or 3 is "
       "programmed; going on unchecked\n",
       true},
      {"AT89S52", "2", {"-d", "auto", "-y", "erase"}, 27, "name the device with -d\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.chip) + " " + c.args[1] + " " + c.args.back());
    std::filesystem::remove(dir_.File("chip.zvchip"));
    ASSERT_EQ(sim(c.chip, {"-d", c.chip, "program", dir_.File("fw.bin"), "--lock", c.lock}).status,
              0);
    const CliResult result = sim(c.chip, c.args);
    EXPECT_EQ(result.status, c.status);
    EXPECT_THAT(result.err, HasSubstr(c.err));
    EXPECT_EQ(Chip().code[0], c.erased ? 0xFF : static_cast<uint8_t>(fw[0]));
  }

  const CliResult result = sim("AT89S51", {"identify"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Signature: 1E 51 06\nDevice: Atmel AT89S51\n");
}

// --no-signature leaves the register writes of a command exactly the
// window's: the count and digest recorded in command_register_digest_test.
TEST_F(CliSimTest, WithoutTheSignatureCheckEraseSendsTheWindowsRegisterWrites) {
  dir_.Write("VOZ8051.CSV",
             ":Testmaker;Y\r\nT4;DIP40;5000;4000;500000;0;0;0;0;0;0;256;0;3;4;1E5106;Y\r\n");
  auto writes = [&](std::vector<std::string> args) {
    std::filesystem::remove(dir_.File("trace"));
    args.insert(args.begin(), {"--trace", dir_.File("trace"), "-y", "erase"});
    EXPECT_EQ(Sim("T4", args).status, 0);
    std::istringstream trace(dir_.Read("trace"));
    std::pair<uint64_t, uint64_t> digest{0, 14695981039346656037ull};  // FNV-1a
    int reg = 0;
    unsigned value = 0;
    for (uint64_t line = 0; trace >> reg >> std::hex >> value >> std::dec; ++line) {
      if (line < 17)
        continue;  // the adapter search, which the window makes at its start
      ++digest.first;
      for (const auto byte : {static_cast<uint8_t>(reg), static_cast<uint8_t>(value)}) {
        digest.second ^= byte;
        digest.second *= 1099511628211ull;
      }
    }
    return digest;
  };
  EXPECT_EQ(writes({"--no-signature"}), (std::pair<uint64_t, uint64_t>{74762, 0xf609594cf8754265}));
  EXPECT_GT(writes({}).first, uint64_t{74762});
}

}  // namespace
}  // namespace zivivar::testing
