#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/cli_fixture.h"
#include "support/no_port_system.h"

namespace zivivar::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST_F(CliTest, DevicesListsTheLibraryAndMarksTheSelection) {
  dir_.Write("VOZ8051.CSV",
             ":Atmel;Y\n"
             "AT89S52;DIP40;5000;1000;500000;0;0;0;0;0;0;8192;0;3;4;Y\n"
             "AT89S8252;DIP40;5000;4000;500000;0;0;0;0;0;0;0x2000;0x800;3;3;Y\n"
             "AT89X;DIP40;5000;4000;500000;0;0;0;0;0;0;8192;0;3;4;N\n"
             ":Empty;Y\n");
  CliResult result = Run({"devices"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "  MANUFACTURER  DEVICE       CODE  EEPROM  MODE  LOCKBITS\n"
            "* Atmel         AT89S52      8192       0     4         3\n"
            "  Atmel         AT89S8252    8192    2048     3         3\n"
            "  Empty         (no devices)\n");
}

// A device must be named; names match without regard to case, and a name
// the library does not hold, or one that stands under two manufacturers
// without -m, gets the valid names and status 2.
TEST_F(CliTest, DevicesAreNamedWithoutRegardToCaseOrTheValidNamesAreListed) {
  dir_.Write("VOZ8051.CSV",
             ":Atmel;Y\n"
             "AT89S52;DIP40;5000;1000;500000;0;0;0;0;0;0;8192;0;3;4;Y\n"
             "AT89S51;DIP40;5000;1000;500000;0;0;0;0;0;0;4096;0;3;4;Y\n"
             ":Other;Y\n"
             "AT89S51;DIP40;5000;1000;500000;0;0;0;0;0;0;4096;0;3;4;Y\n");
  const std::string valid = "the library lists AT89S52, AT89S51 (-m Atmel), AT89S51 (-m Other)\n";
  TempDir empty;
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
    std::string selected;  // the line devices marks
  } cases[] = {
      {{"-d", "at89S52", "devices"}, 0, "", "* Atmel         AT89S52"},
      {{"-m", "OTHER", "-d", "at89s51", "devices"}, 0, "", "* Other         AT89S51"},
      {{"-d", "AT89C2051", "devices"}, 2, "zivivar-cli: unknown device 'AT89C2051'; " + valid, ""},
      {{"-m", "Intel", "-d", "AT89S52", "devices"},
       2,
       "zivivar-cli: unknown device 'AT89S52' of manufacturer 'Intel'; " + valid,
       ""},
      {{"-d", "AT89S51", "devices"},
       2,
       "zivivar-cli: 'AT89S51' stands under several manufacturers (Atmel AT89S51, Other AT89S51); "
       "choose one with -m\n",
       ""},
      {{"blank"},
       2,
       "zivivar-cli: no device named: name it with -d NAME (or -d auto for the chip in the "
       "socket); " +
           valid,
       ""},
      {{"-C", empty.path(), "-d", "AT89S52", "devices"},
       13,
       "zivivar-cli: cannot find the device library VOZ8051.CSV; looked in:\n  " + empty.path() +
           "\n",
       ""},
  };
  for (const auto& c : cases) {
    const CliResult result = Run(c.args);
    EXPECT_EQ(result.status, c.status) << c.args[1];
    EXPECT_EQ(result.err, c.err);
    if (!c.selected.empty()) {
      EXPECT_THAT(result.out, HasSubstr(c.selected));
    }
  }
  // A selection the settings file holds (the window writes one) names the device.
  dir_.Write("in.bin", "\x02");
  const std::vector<std::string> convert = {"convert", dir_.File("in.bin"), dir_.File("out.bin"),
                                            "--format", "bin"};
  EXPECT_EQ(Run(convert).status, 2);
  dir_.Write("KORVALNK.INI", "[8051 ISP INI-Section]\r\nDeviceIndex=1\r\n");
  EXPECT_EQ(Run(convert).status, 0);
}

TEST_F(CliTest, DetectShowsPortHandshakeAndLoopBack) {
  CliResult result = Sim("AT89S52", {"detect"});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.out, HasSubstr("Handshake: answered (17 register writes)\n"));
  EXPECT_THAT(result.out, HasSubstr("Adapter: found\n"));
  EXPECT_EQ(result.err, "");

  // A broken data line answers wrongly; a missing adapter not at all.
  result = Sim("AT89S52", {"--set", "SimFault=loopback=0x20", "detect"});
  EXPECT_EQ(result.status, 8);
  EXPECT_THAT(result.out, HasSubstr("Handshake: answered"));
  EXPECT_THAT(result.out, HasSubstr("Loop-back: wrote 00 read 20 (wrong)\nAdapter: not found\n"));
  result = Sim("AT89S52", {"--set", "SimFault=noadapter", "detect"});
  EXPECT_EQ(result.status, 8);
  EXPECT_THAT(result.out, HasSubstr("Handshake: no answer\nLoop-back: nothing read\n"));
  EXPECT_THAT(result.err, StartsWith("\nTime-out during the data transfer!"));
}

TEST_F(CliTest, CalibrateMeasuresWithoutChangingTheSettings) {
  const std::string ini = "[Hardware]\r\nTimeBaseKorr=70\r\n";
  dir_.Write("KORVALNK.INI", ini);
  const CliResult result = Sim("AT89S52", {"calibrate", "--writes", "20000"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr("The settings hold TimeBaseKorr 70.\n"));
  EXPECT_EQ(dir_.Read("KORVALNK.INI"), ini);
}

TEST_F(CliTest, TraceAppendsOneLinePerRegisterWrite) {
  const std::string detection =
      "12 80\n14 80\n6 00\n2 00\n0 00\n8 00\n4 00\n10 00\n4 00\n8 00\n"
      "10 AA\n4 00\n8 00\n10 55\n4 00\n8 00\n10 00\n";
  const std::string trace = dir_.File("trace.txt");
  EXPECT_EQ(Sim("AT89S52", {"--trace", trace, "detect"}).status, 0);
  EXPECT_EQ(Sim("AT89S52", {"--trace", trace, "detect"}).status, 0);
  EXPECT_EQ(dir_.Read("trace.txt"), detection + detection);

  const CliResult result = Sim("AT89S52", {"--trace", dir_.File("no/such/dir/t"), "detect"});
  EXPECT_EQ(result.status, 2);
  EXPECT_THAT(result.err, StartsWith("zivivar-cli: cannot open the trace file '"));
  EXPECT_EQ(Sim("AT89S52", {"--trace", "/dev/full", "detect"}).status, 4) << "lost lines fail";
}

TEST_F(CliTest, WithoutPortAccessDeviceCommandsEndWithStatus21ButFilesStillConvert) {
  NoPortSystem system;
  CliResult result = RunRaw({"-C", dir_.path(), "-d", "AT89S52", "blank"}, &system);
  EXPECT_EQ(result.status, 21);
  EXPECT_THAT(result.err, StartsWith("No access to the parallel port"));
  dir_.Write("in.bin", std::string("\x02\x00\x10", 3));
  result = RunRaw({"-C", dir_.path(), "-d", "AT89S52", "convert", dir_.File("in.bin"),
                   dir_.File("out.bin"), "--format", "bin"},
                  &system);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(dir_.Read("out.bin"), std::string("\x02\x00\x10", 3));
}

}  // namespace
}  // namespace zivivar::testing
