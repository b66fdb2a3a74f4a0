// The command line against the simulated adapter and chip: whole jobs from
// files to the chip and back, and the exit status of every kind of failure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli_fixture.h"

namespace zivivar::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Every kind of failure: its status and message, no success told, the old
// file kept, and the chip changed only by a job that got to it.
TEST_F(CliSimTest, TheExitStatusNamesWhatStoppedTheJob) {
  const std::string fw = dir_.File("fw.bin");
  const std::string keep = dir_.File("keep.hex");
  dir_.Write("fw.bin", Image(2048, 6));
  std::string other = Image(2048, 6);
  other[7] = static_cast<char>(other[7] ^ 1);
  dir_.Write("other.bin", other);
  dir_.Write("big.bin", Image(8193, 10));
  dir_.Write("keep.hex", "old");
  ASSERT_EQ(Sim("AT89S52", {"program", fw}).status, 0);
  const std::string no_chip = "SPISync failed!\n\nIs the adapter in socket 1?";
  const struct {
    std::vector<std::string> args;
    int interrupt_after;
    int status;
    std::string err;
    bool changes_chip;
  } cases[] = {
      {{"verify", dir_.File("other.bin")},
       -1,
       6,
       "Code memory error\nat address 7 (0x7)!\n",
       false},
      // The library's erase wait is too short for a chip erase of 2 s.
      {{"--set", "SimEraseTime=2000000", "program", fw},
       -1,
       7,
       "simulator: the chip ignored a write: chip still erasing, 1,013,540 of 2,000,000 µs "
       "done (-v lists all)\n",
       false},
      {{"--set", "SimFault=nochip", "program", fw}, -1, 11, no_chip, false},
      {{"--set", "SimFault=nochip", "read", keep, "--format", "intel8"}, -1, 11, no_chip, false},
      {{"program", dir_.File("big.bin")}, -1, 3, "Too much data for this device!", false},
      {{"blank"}, -1, 12, "is not blank!", false},
      {{"erase"}, -1, 20, "-> Cancel\n", false},
      {{"program", fw}, 3, 130, "Programming cancelled!\nzivivar-cli: interrupted\n", true},
      {{"read", keep}, 3, 130, "Read-out cancelled!\nzivivar-cli: interrupted\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    interrupt_after_ = c.interrupt_after;
    polls_ = 0;
    const std::string chip = dir_.Read("chip.zvchip");
    const CliResult result = Sim("AT89S52", c.args);
    EXPECT_EQ(result.status, c.status);
    EXPECT_THAT(result.err, HasSubstr(c.err));
    for (const char* success : {"No errors", "is blank", "saved"})
      EXPECT_THAT(result.err, Not(HasSubstr(success)));
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(dir_.Read("keep.hex"), "old");
    EXPECT_EQ(dir_.Read("chip.zvchip") != chip, c.changes_chip);
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

TEST_F(CliSimTest, AChipThatCannotBeSavedFailsTheCommand) {
  dir_.Write("fw.bin", Image(1024, 8));
  const std::string nowhere = dir_.File("no/dir/chip.zvchip");
  for (const auto& command :
       {std::vector<std::string>{"program", dir_.File("fw.bin")}, {"erase"}}) {
    SCOPED_TRACE(command[0]);
    std::vector<std::string> args = {"--simulator", "--sim-state", nowhere, "-d", "AT89S52", "-y"};
    args.insert(args.end(), command.begin(), command.end());
    const CliResult result = Run(args);
    EXPECT_EQ(result.status, 24);
    EXPECT_THAT(result.err, HasSubstr("Cannot write the simulator's state file:\n" + nowhere));
    EXPECT_THAT(result.err, Not(HasSubstr("No errors")));
    EXPECT_THAT(result.err, Not(HasSubstr("is blank")));
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
    EXPECT_EQ(dir_.Read(state_name), state);
    EXPECT_FALSE(dir_.Exists("st"));
  }
}

// FFSave keeps the blank bytes up to the end of the code memory.
TEST_F(CliSimTest, ConvertWritesWhatTheReadOutWouldWithoutADevice) {
  dir_.Write("in.bin", Image(300, 9));
  EXPECT_EQ(Run({"-d", "AT89S51", "--set", "FFSave=1", "convert", dir_.File("in.bin"),
                 dir_.File("out.bin"), "--format", "bin"})
                .status,
            0);
  EXPECT_EQ(dir_.Read("out.bin"), Image(300, 9) + std::string(4096 - 300, '\xFF'));
}

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
