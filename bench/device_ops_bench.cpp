// Whole program-and-verify runs through the full stack (device operations,
// protocol, PortLink, simulated adapter, simulated chip), in both
// instruction formats, for an 8 KiB and a 128 KiB image.
//
// Counters:
//   prog_writes/B    register writes of ProgramMemory per byte programmed
//                    (entry, erase and exit included)
//   verify_writes/B  register writes of VerifyMemory per byte compared
//   writes/s         register writes per second of wall time, the pace the
//                    simulator keeps; real hardware is bounded by the port
//                    (about a microsecond per access, several per write)
//
// The instructions carry 16 address bits in mode 4 and 14 in mode 3, so a
// 128 KiB image reaches the chip as repeated images of the part they
// address; the pattern repeats with that period, so that every write agrees
// with the one before it at the same cell.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "programmer/device_operations.h"
#include "sim/simulated_hardware.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

struct Run {
  explicit Run(uint8_t mode, uint32_t size) : hw({mode, size, 0}, ""), link(hw.port(), services) {
    device.device_name = mode == kSpiMode3 ? "AT89S8252" : "AT89S52";
    device.supply_code = 100;
    device.write_wait = link.UsToCycles(mode == kSpiMode3 ? 4000 : 1000);
    device.erase_wait = link.UsToCycles(500000);
    device.code_size = size;
    device.spi_mode = mode;
    const uint32_t period = mode == kSpiMode3 ? 0x4000 : 0x10000;
    for (uint32_t a = 0; a < size; ++a) {
      image.bytes[a] = static_cast<uint8_t>((a % period) * 7 % 0xFF);  // never 0xFF
    }
    image.loaded_byte_count = size;
    image.highest_loaded_address = size - 1;
  }

  sim::SimulatedHardware hw;
  testing::ScriptedServicesView view;
  int message_beap = 0;
  Services services{view, message_beap};
  PortLink link;
  DeviceDescriptor device;
  ImageBuffer image;
  DeviceOperations ops{link, services, device, image};
};

void BM_ProgramAndVerify(benchmark::State& state) {
  const auto mode = static_cast<uint8_t>(state.range(0));
  const auto size = static_cast<uint32_t>(state.range(1));
  uint64_t program_writes = 0;
  uint64_t verify_writes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Run run(mode, size);
    state.ResumeTiming();

    const OperationResult programmed = run.ops.ProgramMemory(kCodeMemory);
    const uint64_t after_program = run.hw.adapter().register_writes();
    const OperationResult verified = run.ops.VerifyMemory(kCodeMemory);
    program_writes += after_program;
    verify_writes += run.hw.adapter().register_writes() - after_program;

    if (programmed != OperationResult::kOk || verified != OperationResult::kOk ||
        !run.view.messages.empty()) {
      state.SkipWithError("program or verify failed");
      break;
    }
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["prog_writes/B"] = static_cast<double>(program_writes) / runs / size;
  state.counters["verify_writes/B"] = static_cast<double>(verify_writes) / runs / size;
  state.counters["writes/s"] = benchmark::Counter(
      static_cast<double>(program_writes + verify_writes), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}
BENCHMARK(BM_ProgramAndVerify)
    ->ArgNames({"mode", "bytes"})
    ->Args({3, 8 * 1024})
    ->Args({4, 8 * 1024})
    ->Args({3, 128 * 1024})
    ->Args({4, 128 * 1024})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The read-out loop alone, the cheapest byte loop: 168 writes per byte in
// mode 4, 128 in mode 3.
void BM_ReadMemory(benchmark::State& state) {
  const auto mode = static_cast<uint8_t>(state.range(0));
  Run run(mode, 8 * 1024);
  run.ops.protocol().EnterProgrammingMode();
  uint64_t writes = 0;
  for (auto _ : state) {
    const uint64_t before = run.hw.adapter().register_writes();
    run.ops.ReadMemory(kCodeMemory);
    writes += run.hw.adapter().register_writes() - before;
  }
  run.ops.protocol().LeaveProgrammingMode();
  state.counters["writes/B"] =
      static_cast<double>(writes) / static_cast<double>(state.iterations()) / (8 * 1024);
  state.counters["writes/s"] =
      benchmark::Counter(static_cast<double>(writes), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 8 * 1024);
}
BENCHMARK(BM_ReadMemory)->ArgName("mode")->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zivivar
