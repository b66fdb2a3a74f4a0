// Interoperability with an independent implementation of the formats: files
// written by srec_cat load into the right image, and files written here read
// back through srec_cat into the same image. Skipped where srec_cat is not
// installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <tuple>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

class SrecCatTest : public DataFileTest {
 protected:
  void SetUp() override {
    if (std::system("command -v srec_cat >/dev/null 2>&1") != 0)
      GTEST_SKIP() << "srec_cat not installed";
  }
  // Runs srec_cat with args (no quoting needed in the temporary directory).
  void SrecCat(const std::string& args) {
    const std::string log = dir.File("srec_cat.log");
    ASSERT_EQ(std::system(("srec_cat " + args + " >" + log + " 2>&1").c_str()), 0)
        << args + "\n" + dir.Read("srec_cat.log");
  }
};

TEST_F(SrecCatTest, EveryFormatCrossesToAndFromSrecCat) {
  // The format, srec_cat's input options for a file of it written here, its
  // output options for one of its own, and the largest memory the format holds.
  const std::tuple<int, const char*, const char*, uint32_t> formats[] = {
      {kFormatBinary, "-binary", "-binary", 0x20000},
      {kFormatIntel8, "-Intel", "-Intel -address-length=2", 0x10000},
      {kFormatIntel32, "-Intel", "-Intel -Output_Block_Size=255", 0x20000},
      {kFormatIntelMcs, "-Intel", "-Intel -address-length=3", 0x20000},
      {kFormatS1, "-Motorola", "-Motorola -address-length=2", 0x10000},
      {kFormatS2, "-Motorola", "-Motorola -address-length=3", 0x20000},
      {kFormatS3, "-Motorola", "-Motorola -address-length=4", 0x20000},
      {kFormatMos, "-Mos_Tech", "-Mos_Tech", 0x10000},
      {kFormatTektronix, "-Tektronix", "-Tektronix", 0x10000},
  };
  for (const auto& [format, reads, writes, size] : formats) {
    SCOPED_TRACE(DataFormatName(format));
    device.code_size = size;
    FillTestPattern(image, size, size + static_cast<uint32_t>(format));
    const std::string expected = ImageText(size);
    const std::string bin = dir.Write("in.bin", expected);
    // Runs of blank bytes are left out, so that the file has gaps as real ones do.
    SrecCat(bin + " -binary " + (format == kFormatBinary ? "" : "-unfill 0xFF 8 ") + "-o " +
            dir.File("theirs.dat") + " " + writes);
    image.bytes.fill(0);
    ASSERT_EQ(files.LoadDataFile(dir.File("theirs.dat"), kCodeMemory, options), LoadResult::kOk)
        << Messages();
    EXPECT_EQ(files.data_format(), format);
    EXPECT_TRUE(ImageText(size) == expected);

    // srec_cat tests Tektronix checksums as sums of digits.
    options.tek_digit_sums = format == kFormatTektronix;
    for (bool ff_save : {false, true}) {
      options.ff_save = ff_save;
      FillTestPattern(image, size, size + static_cast<uint32_t>(format));
      Save(format);
      SrecCat(dir.File("out.dat") + " " + reads + " -fill 0xFF 0 " + std::to_string(size) + " -o " +
              dir.File("back.bin") + " -binary");
      EXPECT_TRUE(dir.Read("back.bin") == expected) << "srec_cat read another image";
    }
  }
}

TEST_F(SrecCatTest, TektronixDigitSumsAreSrecCatsOwnLinesAndByteSumsStayTheDefault) {
  options.hex_line_len = 4;
  const uint8_t data[] = {0x02, 0x00, 0x30, 0xFF, 0x01, 0x02, 0x03, 0x04};
  std::copy(std::begin(data), std::end(data), image.bytes.begin());
  device.code_size = sizeof data;
  SrecCat(dir.Write("in.bin", ImageText(sizeof data)) + " -binary -o " + dir.File("theirs.tek") +
          " -Tektronix -Output_Block_Size=4");
  std::string theirs;
  for (const char c : dir.Read("theirs.tek"))
    theirs += c == '\n' ? std::string("\r\n") : std::string(1, c);
  options.tek_digit_sums = true;
  EXPECT_EQ(Save(kFormatTektronix), theirs);
  options.tek_digit_sums = false;
  EXPECT_EQ(Save(kFormatTektronix), "/00000404020030FF39\r\n/00040408010203041A\r\n");
}

TEST_F(SrecCatTest, SdccBuiltExampleLoadsAsSrecCatReadsIt) {
  const std::string ihx = std::string(ZIVIVAR_SOURCE_DIR) + "/data/examples/blink.ihx";
  device.code_size = 8192;  // AT89S52
  ASSERT_EQ(files.LoadDataFile(ihx, kCodeMemory, options), LoadResult::kOk) << Messages();
  EXPECT_EQ(files.data_format(), kFormatIntel8);
  SrecCat(ihx + " -Intel -fill 0xFF 0 8192 -o " + dir.File("blink.bin") + " -binary");
  EXPECT_TRUE(dir.Read("blink.bin") == ImageText(8192));
  // The reset vector jumps into the program: the image is not blank.
  EXPECT_EQ(image.bytes[0], 0x02);
}

}  // namespace
}  // namespace zivivar
