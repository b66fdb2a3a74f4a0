// Every format, written and read back, gives the image it was written from.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "data_file_fixture.h"

namespace zivivar {
namespace {

using RoundTripParam =
    std::tuple<int /*format*/, uint32_t /*size*/, bool /*ff_save*/, uint32_t /*hex_line_len*/>;

class RoundTripTest : public DataFileTest, public ::testing::WithParamInterface<RoundTripParam> {};

bool Holds17BitAddresses(int format) {
  return format != kFormatS1 && format != kFormatMos && format != kFormatTektronix;
}

TEST_P(RoundTripTest, WrittenImageReadsBackTheSame) {
  const auto [format, size, ff_save, line_length] = GetParam();
  device.code_size = size;
  options.ff_save = ff_save;
  options.hex_line_len = line_length;
  FillTestPattern(image, size, size + line_length);
  const auto written = image.bytes;

  data_format = format;
  const std::string path = dir.File("round.trip");
  if (size > 0x10000 && !Holds17BitAddresses(format)) {
    EXPECT_EQ(files.WriteDataFile(path, kCodeMemory, options), kSaveFailed);
    EXPECT_FALSE(dir.Exists("round.trip"));
    return;
  }
  ASSERT_EQ(files.WriteDataFile(path, kCodeMemory, options), kSaveOk) << Messages();
  image.bytes.fill(0x00);
  ASSERT_EQ(files.LoadDataFile(path, kCodeMemory, options), kLoadOk) << Messages();
  EXPECT_EQ(data_format, format) << "recognised as another format";
  EXPECT_TRUE(image.bytes == written) << "image differs after reading back";
  EXPECT_TRUE(view.messages.empty()) << Messages();
}

std::string Name(const ::testing::TestParamInfo<RoundTripParam>& info) {
  const auto [format, size, ff_save, line_length] = info.param;
  std::string name = DataFormatName(format);
  std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
  if (format == kFormatBinary)
    name = "Binary";
  return name + "_" + std::to_string(size / 1024) + "KiB_" +
         (ff_save ? "BlanksSaved" : "BlanksLeftOut") + "_Line" + std::to_string(line_length);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, RoundTripTest,
                         ::testing::Combine(::testing::Range(1, 10),
                                            ::testing::Values(0x1000u, 0x10000u, 0x20000u),
                                            ::testing::Bool(), ::testing::Values(32u)),
                         Name);

// Odd sizes and line lengths that do not divide the memory, at the limits of
// the count fields.
INSTANTIATE_TEST_SUITE_P(LineLengths, RoundTripTest,
                         ::testing::Combine(::testing::Range(2, 10), ::testing::Values(0x1001u),
                                            ::testing::Bool(), ::testing::Values(2u, 254u)),
                         Name);

}  // namespace
}  // namespace zivivar
