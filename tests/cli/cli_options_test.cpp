#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace zivivar {
namespace {

CliOptions Parse(const std::vector<std::string>& args) {
  CliOptions options;
  std::string error;
  EXPECT_TRUE(ParseCommandLine(args, options, error)) << error;
  return options;
}

std::string ParseError(const std::vector<std::string>& args) {
  CliOptions options;
  std::string error;
  EXPECT_FALSE(ParseCommandLine(args, options, error));
  return error;
}

TEST(CliOptionsTest, GlobalOptionsInEveryFormTheyAreWritten) {
  const CliOptions options = Parse({"-C", "dir", "--simulator", "--sim-state=chip.bin", "-mAtmel",
                                    "-d", "AT89S52", "--set", "FFSave=1", "--set=HexLineLen=16",
                                    "-y", "--on-fault", "retry", "--trace", "t.txt", "blank"});
  EXPECT_EQ(options.directory, "dir");
  EXPECT_TRUE(options.simulator);
  EXPECT_EQ(options.sim_state, "chip.bin");
  EXPECT_EQ(options.manufacturer, "Atmel");
  EXPECT_EQ(options.device, "AT89S52");
  ASSERT_EQ(options.settings.size(), 2u);
  EXPECT_EQ(options.settings[0], std::make_pair(std::string("FFSave"), std::string("1")));
  // Only the first '=' separates: the value may hold more.
  EXPECT_EQ(options.settings[1], std::make_pair(std::string("HexLineLen"), std::string("16")));
  EXPECT_TRUE(options.yes);
  EXPECT_TRUE(options.retry_faults);
  EXPECT_EQ(options.trace_path, "t.txt");
  EXPECT_EQ(options.command, CliCommand::kBlank);
}

TEST(CliOptionsTest, CommandOptionsMayStandBeforeOrAfterTheFiles) {
  CliOptions options = Parse({"program", "--lock", "2", "fw.ihx", "--no-verify"});
  EXPECT_EQ(options.command, CliCommand::kProgram);
  EXPECT_EQ(options.files, std::vector<std::string>{"fw.ihx"});
  EXPECT_EQ(options.lock_level, 2);
  EXPECT_TRUE(options.no_verify);

  options = Parse({"convert", "in.bin", "--format=s2", "out.hex"});
  EXPECT_EQ(options.files, (std::vector<std::string>{"in.bin", "out.hex"}));
  EXPECT_EQ(options.format, 6);
}

TEST(CliOptionsTest, DoubleDashLetsAFileBeginWithADash) {
  const CliOptions options = Parse({"verify", "--", "-odd.hex"});
  EXPECT_EQ(options.files, std::vector<std::string>{"-odd.hex"});
}

TEST(CliOptionsTest, FormatNamesAreTheDataFormatNumbers) {
  const char* names[] = {"bin", "intel8", "intel32", "intelmcs", "s1", "s2", "s3", "mos", "tek"};
  for (int format = 1; format <= 9; ++format) {
    EXPECT_EQ(FormatFromName(names[format - 1]), format);
    EXPECT_STREQ(FormatName(format), names[format - 1]);
  }
  EXPECT_FALSE(FormatFromName("hex"));
  EXPECT_FALSE(FormatFromName("BIN"));
}

TEST(CliOptionsTest, HelpNeedsNoCommandAndSkipsTheArgumentCount) {
  EXPECT_TRUE(Parse({"--help"}).help);
  const CliOptions options = Parse({"read", "--help"});
  EXPECT_TRUE(options.help);
  EXPECT_EQ(options.command, CliCommand::kRead);
  EXPECT_NE(CommandHelp(CliCommand::kRead), GlobalHelp());
}

TEST(CliOptionsTest, UsageErrorsSayWhatIsWrong) {
  EXPECT_EQ(ParseError({}), "no command given");
  EXPECT_EQ(ParseError({"burn"}), "unknown command 'burn'");
  EXPECT_EQ(ParseError({"--frobnicate", "blank"}), "unknown option '--frobnicate'");
  EXPECT_EQ(ParseError({"-C"}), "option -C needs a value");
  EXPECT_EQ(ParseError({"--set", "FFSave", "blank"}), "--set needs KEY=VALUE, got 'FFSave'");
  EXPECT_EQ(ParseError({"--set", "=1", "blank"}), "--set needs KEY=VALUE, got '=1'");
  EXPECT_EQ(ParseError({"--on-fault", "ignore", "blank"}),
            "--on-fault takes retry or cancel, not 'ignore'");
  EXPECT_EQ(ParseError({"program"}), "program takes one file argument");
  EXPECT_EQ(ParseError({"blank", "x.hex"}), "blank takes no file argument");
  EXPECT_EQ(ParseError({"convert", "in.hex"}), "convert takes two file arguments, IN and OUT");
  EXPECT_EQ(ParseError({"program", "fw.hex", "--lock", "4"}), "--lock takes 0, 1, 2 or 3, not '4'");
  EXPECT_EQ(ParseError({"program", "fw.hex", "--lock", "-1"}),
            "--lock takes 0, 1, 2 or 3, not '-1'");
  EXPECT_EQ(ParseError({"read", "x", "--format", "ihx"}),
            "unknown format 'ihx' (bin, intel8, intel32, intelmcs, s1, s2, s3, mos or tek)");
  EXPECT_EQ(ParseError({"calibrate", "--writes", "0"}),
            "--writes takes a number from 1 to 100000000, not '0'");
}

TEST(CliOptionsTest, CommandOptionsBelongToTheirCommands) {
  EXPECT_EQ(ParseError({"verify", "fw.hex", "--lock", "1"}), "unknown option '--lock' for verify");
  EXPECT_EQ(ParseError({"program", "fw.hex", "--format", "bin"}),
            "unknown option '--format' for program");
  // Global options go before the command.
  EXPECT_EQ(ParseError({"blank", "-y"}), "unknown option '-y' for blank");
}

}  // namespace
}  // namespace zivivar
