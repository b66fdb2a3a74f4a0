// The command line against the simulated adapter and chip: whole jobs from
// files to the chip and back, and the exit status of every kind of failure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "cli/cli_fixture.h"
#include "sim/chip_state_file.h"

namespace zivivar::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

const char* const kFormats[] = {"bin", "intel8", "intel32", "intelmcs", "s1",
                                "s2",  "s3",     "mos",     "tek"};

// size bytes of firmware-like data: random, with runs of 0xFF that the
// programming skips and the text writers leave out.
std::string Image(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>((i / 256) % 3 == 2 ? 0xFF : random() & 0xFF);
  }
  // Data up to the last byte, so the read-out has the file's length.
  bytes[size - 1] = 0x22;
  return bytes;
}

std::string Hex2(char byte) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(byte));
  return text;
}

class CliSimTest : public CliTest {
 protected:
  // The chip as its state file holds it.
  sim::ChipState Chip() {
    sim::ChipState state;
    EXPECT_EQ(sim::LoadChipState(dir_.File("chip.zvchip"), &state), sim::kChipStateOk);
    return state;
  }
  // Converts file to a binary image and returns its bytes.
  std::string AsBinary(const std::string& device, const std::string& file) {
    const CliResult result =
        Run({"-d", device, "convert", dir_.File(file), dir_.File("as.bin"), "--format", "bin"});
    EXPECT_EQ(result.status, 0) << file << ": " << result.err;
    return dir_.Read("as.bin");
  }
};

TEST_F(CliSimTest, CodeOnlyDeviceProgramsVerifiesAndReadsBackInEveryFormat) {
  const std::string image = Image(8192, 1);
  dir_.Write("fw.bin", image);
  // The firmware as a compiler hands it over: Intel HEX.
  ASSERT_EQ(Run({"convert", dir_.File("fw.bin"), dir_.File("fw.ihx"), "--format", "intel8", "-d",
                 "AT89S52"})
                .status,
            2);  // global options go before the command
  ASSERT_EQ(Run({"-d", "AT89S52", "convert", dir_.File("fw.bin"), dir_.File("fw.ihx"), "--format",
                 "intel8"})
                .status,
            0);
  CliResult result = Sim("AT89S52", {"program", dir_.File("fw.ihx")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "Keine Fehler beim prüfen\n");
  EXPECT_EQ(result.out, "");
  const sim::ChipState chip = Chip();
  EXPECT_EQ(std::string(chip.code.begin(), chip.code.end()), image);

  result = Sim("AT89S52", {"verify", dir_.File("fw.ihx")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "Keine Fehler beim Prüfen\n");

  for (const char* format : kFormats) {
    SCOPED_TRACE(format);
    result = Sim("AT89S52", {"read", dir_.File(std::string("back-") + format), "--format", format});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "\nProzessor-Programm gespeichert \n");
    // As in the window, a binary image is named .bin and a text format .hex.
    const std::string name =
        std::string("back-") + format + (std::string(format) == "bin" ? ".bin" : ".hex");
    EXPECT_EQ(result.out, dir_.File(name) + "\n");
    EXPECT_EQ(AsBinary("AT89S52", name), image);
    // Every format can be programmed back and verifies against the chip.
    EXPECT_EQ(Sim("AT89S52", {"verify", dir_.File(name)}).status, 0);
  }
  EXPECT_FALSE(dir_.Exists("back-bin.eep"));
}

TEST_F(CliSimTest, CodeAndEepromDeviceHandlesTheCompanionFile) {
  const std::string code = Image(8192, 2);
  const std::string eeprom = Image(2048, 3);
  dir_.Write("fw.bin", code);
  dir_.Write("fw.eep", eeprom);
  CliResult result = Sim("AT89S8252", {"program", dir_.File("fw.bin")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "Keine Fehler beim prüfen\n");
  const sim::ChipState chip = Chip();
  EXPECT_EQ(std::string(chip.code.begin(), chip.code.end()), code);
  EXPECT_EQ(std::string(chip.eeprom.begin(), chip.eeprom.end()), eeprom);

  for (const char* format : {"bin", "intel32", "s2", "tek"}) {
    SCOPED_TRACE(format);
    const std::string base = std::string("rd-") + format;
    result = Sim("AT89S8252", {"read", dir_.File(base), "--format", format});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string name = base + (std::string(format) == "bin" ? ".bin" : ".hex");
    EXPECT_EQ(result.out, dir_.File(name) + "\n" + dir_.File(base + ".eep") + "\n");
    EXPECT_EQ(AsBinary("AT89S8252", name), code);
    // The companion file is written in the same format and verifies.
    EXPECT_EQ(Sim("AT89S8252", {"verify", dir_.File(name)}).status, 0);
  }

  // A wrong EEPROM fails the verify although the code memory matches.
  std::string other = eeprom;
  other[100] = static_cast<char>(other[100] ^ 0x10);
  dir_.Write("fw.eep", other);
  result = Sim("AT89S8252", {"verify", dir_.File("fw.bin")});
  EXPECT_EQ(result.status, 6);
  EXPECT_EQ(result.err, "EEPROM Fehler an Adresse 100 (0x64) !\nRichtig: 0x" + Hex2(other[100]) +
                            "\nGelesen: 0x" + Hex2(eeprom[100]) + "\n-> Cancel\n");
}

TEST_F(CliSimTest, EraseAsksFirstThenChecksTheChipIsBlank) {
  dir_.Write("fw.bin", Image(4096, 4));
  ASSERT_EQ(Sim("AT89S52", {"program", dir_.File("fw.bin")}).status, 0);

  CliResult result = Sim("AT89S52", {"blank"});
  EXPECT_EQ(result.status, 5);
  EXPECT_THAT(result.err, StartsWith("CodeSpeicher an Adresse 0x0000 ist nicht leer !\n"));
  EXPECT_THAT(result.err, HasSubstr("-> Cancel\n"));

  result = Sim("AT89S52", {"erase"});
  EXPECT_EQ(result.status, 20);
  EXPECT_THAT(result.err, HasSubstr("-> Cancel\n"));
  EXPECT_THAT(result.err, ::testing::Not(HasSubstr("gelöscht")));
  EXPECT_EQ(Chip().code[0], static_cast<uint8_t>(Image(4096, 4)[0]));

  result = Sim("AT89S52", {"-y", "erase"});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.err, HasSubstr("-> OK\n"));
  EXPECT_THAT(result.err, HasSubstr("\nController ist gelöscht !\n"));
  result = Sim("AT89S52", {"blank"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "\nController ist gelöscht !\n");
}

TEST_F(CliSimTest, RetryAnswersGoOnPastEveryFaultyByte) {
  dir_.Write("fw.bin", std::string(16, '\x00'));
  ASSERT_EQ(Sim("AT89S52", {"program", dir_.File("fw.bin")}).status, 0);
  const CliResult result = Sim("AT89S52", {"--on-fault", "retry", "blank"});
  // Sixteen questions, all answered Retry: the check ran to the end.
  EXPECT_EQ(result.status, 4);
  size_t count = 0;
  for (size_t at = result.err.find("-> Retry"); at != std::string::npos;
       at = result.err.find("-> Retry", at + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 16u);
}

TEST_F(CliSimTest, LockLevelsAreProgrammedCumulatively) {
  dir_.Write("fw.bin", Image(1024, 5));
  CliResult result = Sim("AT89S52", {"program", dir_.File("fw.bin"), "--lock", "2"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "Keine Fehler beim prüfen\n\nLockbits sind aktiv.\n");
  EXPECT_EQ(Chip().lock_bits, sim::kLockBit1 | sim::kLockBit2);

  // A chip that ignores its lock bits gives 15.
  result = Sim("AT89S52", {"--set", "SimFault=nolock", "-y", "erase"});
  EXPECT_EQ(result.status, 0);
  result =
      Sim("AT89S52", {"--set", "SimFault=nolock", "program", dir_.File("fw.bin"), "--lock", "3"});
  EXPECT_EQ(result.status, 15);
  EXPECT_THAT(result.err, HasSubstr("Schutzbits haben keine Wirkung !\n"));
}

TEST_F(CliSimTest, FailuresEndWithTheResultOfTheOperationThatFailed) {
  const std::string image = Image(2048, 6);
  dir_.Write("fw.bin", image);

  // A file with a bad checksum: 3, and nothing is programmed.
  dir_.Write("bad.hex", ":0400000001020304F0\r\n:00000001FF\r\n");
  CliResult result = Sim("AT89S52", {"program", dir_.File("bad.hex")});
  EXPECT_EQ(result.status, 3);
  EXPECT_THAT(result.err, StartsWith("Prüfsumme der HEX-Zeile 1 stimmt nicht !"));
  // A missing file: 3, with the file error.
  result = Sim("AT89S52", {"verify", dir_.File("missing.hex")});
  EXPECT_EQ(result.status, 3);
  EXPECT_THAT(result.err, StartsWith("Fehler beim Öffnen der Datei\n\n"));

  // Verify against other data: 6.
  ASSERT_EQ(Sim("AT89S52", {"program", dir_.File("fw.bin")}).status, 0);
  std::string other = image;
  other[7] = static_cast<char>(other[7] ^ 1);
  dir_.Write("other.bin", other);
  result = Sim("AT89S52", {"verify", dir_.File("other.bin")});
  EXPECT_EQ(result.status, 6);
  EXPECT_THAT(result.err, StartsWith("Programmspeicher Fehler\nan Adresse 7 (0x7) !\n"));

  // A cell that does not take its data: 7.
  result =
      Sim("AT89S52", {"--set", "SimFault=stuck-write=0x10:0x01:0", "program", dir_.File("fw.bin")});
  EXPECT_EQ(result.status, (image[0x10] & 1) != 0 ? 7 : 0) << result.err;

  // No chip in the socket: the writes do not read back.
  result = Sim("AT89S52", {"--set", "SimFault=nochip", "program", dir_.File("fw.bin")});
  EXPECT_EQ(result.status, 7);
  EXPECT_THAT(result.err, HasSubstr("Programmierfehler an Adresse 0 (0x0)"));

  // The adapter goes away in the middle: 10, with the one time-out message.
  result = Sim("AT89S52", {"--set", "SimFault=lost-after=20000", "program", dir_.File("fw.bin")});
  EXPECT_EQ(result.status, 10);
  EXPECT_THAT(result.err, StartsWith("\nTimeout-Fehler bei Datenübertragung !!"));
  EXPECT_THAT(result.err, ::testing::Not(HasSubstr("Keine Fehler")));

  // No adapter at all: 8.
  result = Sim("AT89S52", {"--set", "SimFault=noadapter", "blank"});
  EXPECT_EQ(result.status, 8);
  EXPECT_THAT(result.err, HasSubstr("Kann Hardware nicht finden !"));
}

TEST_F(CliSimTest, AFailedReadOutLeavesTheOldFileAlone) {
  dir_.Write("fw.bin", Image(2048, 7));
  ASSERT_EQ(Sim("AT89S52", {"program", dir_.File("fw.bin")}).status, 0);
  dir_.Write("keep.hex", "old contents");
  const CliResult result = Sim("AT89S52", {"--set", "SimFault=lost-after=30000", "read",
                                           dir_.File("keep.hex"), "--format", "intel8"});
  EXPECT_EQ(result.status, 10);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(dir_.Read("keep.hex"), "old contents");
}

TEST_F(CliSimTest, AnInterruptStopsTheOperationAsTheCancelButtonDoes) {
  dir_.Write("fw.bin", Image(8192, 8));
  interrupt_ = true;
  const CliResult result = Sim("AT89S52", {"program", dir_.File("fw.bin")});
  EXPECT_EQ(result.status, 7);
  EXPECT_EQ(result.err, "Programmierung abgebrochen !\n");
}

TEST_F(CliSimTest, ConvertWritesWhatTheReadOutWouldWithoutADevice) {
  const std::string image = Image(300, 9);
  dir_.Write("in.bin", image);
  // FFSave keeps the blank bytes up to the end of the code memory.
  CliResult result = Run({"-d", "AT89S51", "--set", "FFSave=1", "convert", dir_.File("in.bin"),
                          dir_.File("out.bin"), "--format", "bin"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(dir_.Read("out.bin"), image + std::string(4096 - 300, '\xFF'));

  // The output is named as given.
  result = Run(
      {"-d", "AT89S51", "convert", dir_.File("in.bin"), dir_.File("out.s19"), "--format", "s1"});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(dir_.Read("out.s19"), HasSubstr("\r\nS1230000"));

  // Too much for the device: 3.
  dir_.Write("big.bin", Image(5000, 10));
  result = Run(
      {"-d", "AT89S51", "convert", dir_.File("big.bin"), dir_.File("x.bin"), "--format", "bin"});
  EXPECT_EQ(result.status, 3);
  EXPECT_THAT(result.err, StartsWith("Zuviele Daten für diesen Baustein !"));
  EXPECT_FALSE(dir_.Exists("x.bin"));

  // Nowhere to write: 4, and no file.
  result = Run({"-d", "AT89S51", "convert", dir_.File("in.bin"), dir_.File("no/dir/x.hex"),
                "--format", "intel8"});
  EXPECT_EQ(result.status, 4);
  EXPECT_THAT(result.err, StartsWith("Fehler beim Öffnen der Datei\n\n"));
}

}  // namespace
}  // namespace zivivar::testing
