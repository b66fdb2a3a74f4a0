// Interoperability with an independent implementation of the formats: files
// written by srec_cat load into the right image, and files written here read
// back through srec_cat into the same image. Skipped where srec_cat is not
// installed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "data_file_fixture.h"

extern char** environ;

namespace zivivar {
namespace {

std::string FindTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return "";
}

// Runs the program with args, its output and errors into log; the exit status (-1 if none).
int RunProgram(const std::vector<std::string>& args, const std::string& log) {
  std::vector<char*> argv;
  for (const auto& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
    return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
    return -1;
  return WEXITSTATUS(status);
}

class SrecCatTest : public DataFileTest {
 protected:
  void SetUp() override {
    srec_cat_ = FindTool("srec_cat");
    if (srec_cat_.empty())
      GTEST_SKIP() << "srec_cat not installed";
    options.hex_line_len = 32;
  }

  // srec_cat with args; fails the test with its output when it fails.
  void SrecCat(std::vector<std::string> args) {
    args.insert(args.begin(), srec_cat_);
    const std::string log = dir.File("srec_cat.log");
    const int status = RunProgram(args, log);
    ASSERT_EQ(status, 0) << dir.Read("srec_cat.log");
  }

  // The first size bytes of image as a binary file.
  std::string WriteImageAsBinary(uint32_t size, const std::string& name) {
    return dir.Write(name, std::string(reinterpret_cast<const char*>(image.bytes.data()), size));
  }

  std::string srec_cat_;
};

struct ForeignFormat {
  const char* name;
  std::vector<std::string> output_args;  // srec_cat's output format
  uint32_t size;                         // the largest memory the format holds
  int recognised_as;
};

class FromSrecCat : public SrecCatTest, public ::testing::WithParamInterface<ForeignFormat> {};

TEST_P(FromSrecCat, FileWrittenBySrecCatLoadsIntoTheSameImage) {
  const ForeignFormat& format = GetParam();
  device.code_size = format.size;
  FillTestPattern(image, format.size, format.size);
  const auto expected = image.bytes;
  const std::string bin = WriteImageAsBinary(format.size, "in.bin");
  const std::string hex = dir.File("foreign.hex");
  std::vector<std::string> args = {bin, "-binary"};
  // Runs of blank bytes are left out, so that the file has gaps as real ones
  // do (a binary image has none: srec_cat would fill them with zeros).
  if (format.recognised_as != kFormatBinary)
    args.insert(args.end(), {"-unfill", "0xFF", "8"});
  args.insert(args.end(), {"-o", hex});
  args.insert(args.end(), format.output_args.begin(), format.output_args.end());
  SrecCat(args);
  ASSERT_EQ(files.LoadDataFile(hex, kCodeMemory, options), kLoadOk) << Messages();
  EXPECT_EQ(data_format, format.recognised_as);
  EXPECT_TRUE(image.bytes == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FromSrecCat,
    ::testing::Values(
        ForeignFormat{"IntelLinear", {"-Intel"}, 0x20000, kFormatIntel32},
        ForeignFormat{"IntelSegmented", {"-Intel", "-address-length=3"}, 0x20000, kFormatIntelMcs},
        ForeignFormat{"Intel16Bit", {"-Intel", "-address-length=2"}, 0x10000, kFormatIntel8},
        ForeignFormat{
            "IntelLongLines", {"-Intel", "-Output_Block_Size=255"}, 0x20000, kFormatIntel32},
        ForeignFormat{"S1", {"-Motorola", "-address-length=2"}, 0x10000, kFormatS1},
        ForeignFormat{"S2", {"-Motorola", "-address-length=3"}, 0x20000, kFormatS2},
        ForeignFormat{"S3", {"-Motorola", "-address-length=4"}, 0x20000, kFormatS3},
        ForeignFormat{"MosTechnology", {"-Mos_Tech"}, 0x10000, kFormatMos},
        ForeignFormat{"Tektronix", {"-Tektronix"}, 0x10000, kFormatTektronix},
        ForeignFormat{"Binary", {"-binary"}, 0x20000, kFormatBinary}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

struct OwnFormat {
  int format;
  const char* srec_cat_name;
  uint32_t size;
};

class ToSrecCat : public SrecCatTest, public ::testing::WithParamInterface<OwnFormat> {};

TEST_P(ToSrecCat, FileWrittenHereReadsBackThroughSrecCat) {
  const OwnFormat& own = GetParam();
  for (bool ff_save : {false, true}) {
    SCOPED_TRACE(ff_save ? "blank cells saved" : "blank cells left out");
    device.code_size = own.size;
    options.ff_save = ff_save;
    FillTestPattern(image, own.size, own.size + ff_save);
    const std::string expected(reinterpret_cast<const char*>(image.bytes.data()), own.size);
    data_format = own.format;
    const std::string ours = dir.File("ours.hex");
    ASSERT_EQ(files.WriteDataFile(ours, kCodeMemory, options), kSaveOk) << Messages();

    std::vector<std::string> args;
    // The Tektronix checksums here are byte sums, which srec_cat does not expect.
    if (own.format == kFormatTektronix)
      args.push_back("-ignore-checksums");
    const std::string back = dir.File("back.bin");
    args.insert(args.end(), {ours, own.srec_cat_name, "-fill", "0xFF", "0",
                             std::to_string(own.size), "-o", back, "-binary"});
    SrecCat(args);
    EXPECT_TRUE(dir.Read("back.bin") == expected) << "srec_cat read another image";
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, ToSrecCat,
                         ::testing::Values(OwnFormat{kFormatBinary, "-binary", 0x20000},
                                           OwnFormat{kFormatIntel8, "-Intel", 0x20000},
                                           OwnFormat{kFormatIntel32, "-Intel", 0x20000},
                                           OwnFormat{kFormatIntelMcs, "-Intel", 0x20000},
                                           OwnFormat{kFormatS1, "-Motorola", 0x10000},
                                           OwnFormat{kFormatS2, "-Motorola", 0x20000},
                                           OwnFormat{kFormatS3, "-Motorola", 0x20000},
                                           OwnFormat{kFormatMos, "-Mos_Tech", 0x10000},
                                           OwnFormat{kFormatTektronix, "-Tektronix", 0x10000}),
                         [](const auto& param_info) {
                           std::string name = DataFormatName(param_info.param.format);
                           std::erase_if(name, [](char c) { return !std::isalnum(c); });
                           return param_info.param.format == kFormatBinary ? "Binary" : name;
                         });

TEST_F(SrecCatTest, SdccBuiltExampleLoadsAsSrecCatReadsIt) {
  const std::string ihx = std::string(ZIVIVAR_SOURCE_DIR) + "/data/examples/blink.ihx";
  device.code_size = 8192;  // AT89S52
  ASSERT_EQ(files.LoadDataFile(ihx, kCodeMemory, options), kLoadOk) << Messages();
  EXPECT_EQ(data_format, kFormatIntel8);
  const std::string back = dir.File("blink.bin");
  SrecCat({ihx, "-Intel", "-fill", "0xFF", "0", "8192", "-o", back, "-binary"});
  const std::string reference = dir.Read("blink.bin");
  ASSERT_EQ(reference.size(), 8192u);
  EXPECT_TRUE(std::equal(reference.begin(), reference.end(), image.bytes.begin(),
                         [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }));
  // The reset vector jumps into the program; SDCC writes the records out of order.
  EXPECT_EQ(image.bytes[0], 0x02);
  EXPECT_GT(image.highest_loaded_address, 0x60u);
  EXPECT_LT(image.highest_loaded_address, 0x200u);
}

}  // namespace
}  // namespace zivivar
