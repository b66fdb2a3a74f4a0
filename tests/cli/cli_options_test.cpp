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
      Parse({"-C", "dir", "--simulator", "--sim-state=chip.bin", "-mAtmel", "--device", "at89s52",
             "--set", "FFSave=1", "--set=Key=a=b", "-y", "--on-fault", "retry", "--trace", "t.txt",
             "--fast", "--wait", "-q", "blank"});
  EXPECT_EQ(options.config_dir, "dir");
  EXPECT_TRUE(options.simulator);
  EXPECT_EQ(options.sim_state, "chip.bin");
  EXPECT_EQ(options.manufacturer, "Atmel");
  EXPECT_EQ(options.device, "at89s52");
  // Only the first '=' separates: the value may hold more.
  EXPECT_EQ(options.settings,
            (std::vector<std::pair<std::string, std::string>>{{"FFSave", "1"}, {"Key", "a=b"}}));
  EXPECT_TRUE(options.yes);
  EXPECT_TRUE(options.retry_faults);
  EXPECT_EQ(options.trace_path, "t.txt");
  EXPECT_EQ(options.fast_profile, true);
  EXPECT_TRUE(options.wait);
  EXPECT_TRUE(options.quiet);
  EXPECT_EQ(options.command, CliCommand::kBlank);
}

TEST(CliOptionsTest, OptionsStandBeforeOrAfterTheCommandAndItsFiles) {
  CliOptions options = Parse({"program", "--lock", "2", "fw.ihx", "--no-verify", "-d", "AT89S52",
                              "--eeprom", "data.eep", "--no-signature", "-v"});
  EXPECT_EQ(options.command, CliCommand::kProgram);
  EXPECT_EQ(options.files, std::vector<std::string>{"fw.ihx"});
  EXPECT_EQ(options.lock_level, 2);
  EXPECT_TRUE(options.no_verify);
  EXPECT_EQ(options.device, "AT89S52");
  EXPECT_EQ(options.eeprom, "data.eep");
  EXPECT_TRUE(options.no_signature);
  EXPECT_TRUE(options.verbose);
  options = Parse({"convert", "-", "--format=ihx", "out.hex", "--no-clobber"});
  EXPECT_EQ(options.files, (std::vector<std::string>{"-", "out.hex"})) << "'-' is a file";
  EXPECT_EQ(options.format, 2) << "ihx is Intel HEX";
  EXPECT_TRUE(options.no_clobber);
  EXPECT_EQ(Parse({"verify", "--", "-odd.hex"}).files, std::vector<std::string>{"-odd.hex"});
  EXPECT_TRUE(Parse({"read", "x.bin", "--no-eeprom"}).no_eeprom);
  EXPECT_EQ(Parse({"identify"}).command, CliCommand::kIdentify);
}

TEST(CliOptionsTest, HelpAndVersionNeedNothingElse) {
  const std::pair<std::vector<std::string>, CliCommand> cases[] = {
      {{"--help"}, CliCommand::kNone},         {{"help"}, CliCommand::kNone},
      {{"read", "--help"}, CliCommand::kRead}, {{"help", "program"}, CliCommand::kProgram},
      {{"-h", "erase"}, CliCommand::kErase},
  };
  for (const auto& [args, command] : cases) {
    const CliOptions options = Parse(args);
    EXPECT_TRUE(options.help) << args.front();
    EXPECT_EQ(options.command, command) << args.front();
  }
  EXPECT_TRUE(Parse({"--version"}).version);
  // Each command's help names its own options; the global one the exit statuses.
  EXPECT_NE(CommandHelp(CliCommand::kRead).find("--no-clobber"), std::string::npos);
  EXPECT_EQ(CommandHelp(CliCommand::kVerify).find("--no-clobber"), std::string::npos);
  EXPECT_NE(GlobalHelp().find("130  interrupted"), std::string::npos);
}

TEST(CliOptionsTest, UsageErrorsSayWhatIsWrong) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "no command given"},
      {{"burn"}, "unknown command 'burn'"},
      {{"help", "burn"}, "unknown command 'burn'"},
      {{"--frobnicate", "blank"}, "unknown option '--frobnicate'"},
      {{"--set", "FFSave", "blank"}, "--set needs KEY=VALUE, got 'FFSave'"},
      {{"--on-fault", "ignore", "blank"}, "--on-fault takes retry or cancel, not 'ignore'"},
      {{"program"}, "program takes one file argument"},
      {{"blank", "x.hex"}, "blank takes no file argument"},
      {{"convert", "in.hex"}, "convert takes two file arguments, IN and OUT"},
      {{"program", "fw.hex", "--lock", "4"}, "--lock takes 0, 1, 2 or 3, not '4'"},
      {{"read", "x", "--format", "elf"},
       "unknown format 'elf' (bin, intel8, intel32, intelmcs, s1, s2, s3, mos or tek)"},
      {{"calibrate", "--writes", "0"}, "--writes takes a number from 1 to 100000000, not '0'"},
      {{"--fast", "--exact", "blank"}, "--fast and --exact exclude each other"},
      {{"-q", "-v", "blank"}, "--quiet and --verbose exclude each other"},
      {{"read", "x", "--eeprom", "y", "--no-eeprom"},
       "--eeprom and --no-eeprom exclude each other"},
      // Command options belong to their commands.
      {{"verify", "fw.hex", "--lock", "1"}, "unknown option '--lock' for verify"},
      {{"program", "fw.hex", "--format", "bin"}, "unknown option '--format' for program"},
      {{"blank", "--no-signature"}, "unknown option '--no-signature' for blank"},
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
