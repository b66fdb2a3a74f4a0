// Reading and writing a whole memory image in every data format.
//
// BM_Write builds the file's text in memory (the final write to disk is one
// call whatever the format); BM_Read loads a file written once beforehand,
// recognition and size check included. Both count the image's bytes, so
// bytes_per_second is image data per second. The image is 128 KiB, or 64 KiB
// for the formats with 16-bit addresses; HexLineLen 32, blank cells saved,
// so that every line is written and read.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "datafiles/data_files.h"
#include "library/device_descriptor.h"
#include "services/services.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {
namespace {

uint32_t ImageSize(int format) {
  return format == kFormatS1 || format == kFormatMos || format == kFormatTektronix ? 0x10000
                                                                                   : 0x20000;
}

struct Setup {
  explicit Setup(int format) {
    device.code_size = ImageSize(format);
    files.SetDataFormat(format);
    options.hex_line_len = 32;
    options.ff_save = true;
    uint32_t state = 12345;
    for (uint32_t a = 0; a < device.code_size; ++a) {
      state = state * 1103515245u + 12345u;
      image.bytes[a] = static_cast<uint8_t>(state >> 16);
    }
  }

  testing::ScriptedServicesView view;
  int message_beap = 0;
  Services services{view, message_beap};
  ImageBuffer image;
  DeviceDescriptor device;
  DataFileOptions options;
  DataFiles files{image, services, device};
};

void BM_Write(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0));
  Setup setup(format);
  std::string text;
  for (auto _ : state) {
    if (BuildDataFile(setup.image, setup.device.code_size, kCodeMemory, format, setup.options,
                      setup.services, text) != SaveResult::kOk) {
      state.SkipWithError("write refused");
      break;
    }
    benchmark::DoNotOptimize(text.data());
  }
  state.SetLabel(DataFormatName(format));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * setup.device.code_size);
  state.counters["file_bytes"] = static_cast<double>(text.size());
}

void BM_Read(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0));
  Setup setup(format);
  testing::TempDir dir;
  const std::string path = dir.File("image.dat");
  if (setup.files.WriteDataFile(path, kCodeMemory, setup.options) != SaveResult::kOk) {
    state.SkipWithError("write failed");
    return;
  }
  for (auto _ : state) {
    if (setup.files.LoadDataFile(path, kCodeMemory, setup.options) != LoadResult::kOk) {
      state.SkipWithError("load failed");
      break;
    }
    benchmark::DoNotOptimize(setup.image.bytes.data());
  }
  state.SetLabel(DataFormatName(format));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * setup.device.code_size);
}

BENCHMARK(BM_Write)->DenseRange(kFormatBinary, kLastDataFormat)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Read)->DenseRange(kFormatBinary, kLastDataFormat)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zivivar
