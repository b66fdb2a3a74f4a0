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

TEST(CliOptionsTest, GlobalOptionsInEveryFormTheyAreWritten) {
  const CliOptions options =
      Parse({"-C", "dir", "--simulator", "--sim-state=chip.bin", "-mAtmel", "-d", "AT89S52",
             "--set", "FFSave=1", "--set=Key=a=b", "-y", "--on-fault", "retry", "--trace", "t.txt",
             "--exact", "--fast", "blank"});
  EXPECT_EQ(options.config_dir, "dir");
  EXPECT_TRUE(options.simulator);
  EXPECT_EQ(options.sim_state, "chip.bin");
  EXPECT_EQ(options.manufacturer, "Atmel");
  EXPECT_EQ(options.device, "AT89S52");
  // Only the first '=' separates: the value may hold more.
  EXPECT_EQ(options.settings,
            (std::vector<std::pair<std::string, std::string>>{{"FFSave", "1"}, {"Key", "a=b"}}));
  EXPECT_TRUE(options.yes);
  EXPECT_TRUE(options.retry_faults);
  EXPECT_EQ(options.trace_path, "t.txt");
  EXPECT_EQ(options.fast_profile, true) << "the last of --exact and --fast counts";
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
  EXPECT_EQ(Parse({"verify", "--", "-odd.hex"}).files, std::vector<std::string>{"-odd.hex"});
  EXPECT_TRUE(Parse({"read", "--help"}).help) << "help needs no file argument";
}

TEST(CliOptionsTest, UsageErrorsSayWhatIsWrong) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "no command given"},
      {{"burn"}, "unknown command 'burn'"},
      {{"--frobnicate", "blank"}, "unknown option '--frobnicate'"},
      {{"--set", "FFSave", "blank"}, "--set needs KEY=VALUE, got 'FFSave'"},
      {{"--on-fault", "ignore", "blank"}, "--on-fault takes retry or cancel, not 'ignore'"},
      {{"program"}, "program takes one file argument"},
      {{"blank", "x.hex"}, "blank takes no file argument"},
      {{"convert", "in.hex"}, "convert takes two file arguments, IN and OUT"},
      {{"program", "fw.hex", "--lock", "4"}, "--lock takes 0, 1, 2 or 3, not '4'"},
      {{"read", "x", "--format", "ihx"},
       "unknown format 'ihx' (bin, intel8, intel32, intelmcs, s1, s2, s3, mos or tek)"},
      {{"calibrate", "--writes", "0"}, "--writes takes a number from 1 to 100000000, not '0'"},
      // Command options belong to their commands; global ones go before the command.
      {{"verify", "fw.hex", "--lock", "1"}, "unknown option '--lock' for verify"},
      {{"program", "fw.hex", "--format", "bin"}, "unknown option '--format' for program"},
      {{"blank", "-y"}, "unknown option '-y' for blank"},
  };
  for (const auto& [args, expected] : cases) {
    CliOptions options;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(args, options, error)) << expected;
    EXPECT_EQ(error, expected);
  }
}

}  // namespace
}  // namespace zivivar
