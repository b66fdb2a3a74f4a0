// Cost of one handshaked register write, in nanoseconds per write. The link
// itself should stay far below the time a real port access takes (about a
// microsecond), so that the timebase correction measures the port, not us.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "programmer/port_link.h"
#include "sim/sim_adapter.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

// The least a port can do: acknowledge every handshake on the first read.
class ReadyPortIo : public PortIo {
 public:
  void Out(uint16_t port, uint8_t value) override {
    if (port == 0x37A)
      control_ = value;
  }
  uint8_t In(uint16_t) override { return (control_ & 0x01) != 0 ? 0x00 : 0x80; }

 private:
  uint8_t control_ = 0x01;
};

template <typename Io>
void RunWrites(benchmark::State& state, Io& io) {
  testing::ScriptedServicesView view;
  int message_beap = 0;
  Services services(view, message_beap);
  PortLink link(io, services);
  uint8_t value = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(link.WriteRegister(10, value++));
  }
  state.SetItemsProcessed(state.iterations());
  if (!view.messages.empty())
    state.SkipWithError("a register write timed out");
}

void BM_WriteRegisterReadyPort(benchmark::State& state) {
  ReadyPortIo io;
  RunWrites(state, io);
}
BENCHMARK(BM_WriteRegisterReadyPort);

// The same with an observer attached, as --trace and detect attach one.
struct CountingObserver : RegisterWriteObserver {
  void RegisterWritten(int, uint8_t) override { ++writes; }
  uint64_t writes = 0;
};

void BM_WriteRegisterReadyPortObserved(benchmark::State& state) {
  ReadyPortIo io;
  CountingObserver observer;
  testing::ScriptedServicesView view;
  int message_beap = 0;
  Services services(view, message_beap);
  PortLink link(io, services);
  link.SetObserver(&observer);
  uint8_t value = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(link.WriteRegister(10, value++));
  }
  benchmark::DoNotOptimize(observer.writes);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteRegisterReadyPortObserved);

void BM_WriteRegisterSimAdapter(benchmark::State& state) {
  sim::SimAdapter io;
  RunWrites(state, io);
  if (io.errors() != 0)
    state.SkipWithError(io.last_error().c_str());
}
BENCHMARK(BM_WriteRegisterSimAdapter);

// Two register writes and the nibble decoding.
void BM_ReadInputByteSimAdapter(benchmark::State& state) {
  sim::SimAdapter io;
  testing::ScriptedServicesView view;
  int message_beap = 0;
  Services services(view, message_beap);
  PortLink link(io, services);
  link.WriteRegister(10, 0x5A);
  for (auto _ : state) {
    benchmark::DoNotOptimize(link.ReadInputByte());
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ReadInputByteSimAdapter);

}  // namespace
}  // namespace zivivar
