// Library waits against every kind of simulated chip, as on the bench: a
// wait just too short for the chip fails and the chip says why, one just
// long enough passes. The simulated adapter and TimeBaseKorr both take 1 µs
// a register write (10 µs for the erase), so a wait of n µs is n timer
// pulses (2n writes).
#include <gtest/gtest.h>

#include <string>

#include "programmer/device_operations.h"
#include "sim/chip_models.h"
#include "sim/simulated_hardware.h"
#include "support/scripted_services_view.h"

namespace zivivar {
namespace {

struct Outcome {
  OperationResult result;
  std::string hint;  // the first thing the chip ignored
};

struct Bench {
  const char* device;
  sim::ChipKind kind;
  uint32_t write_us;
  uint32_t erase_us;
  uint8_t supply_code = 100;  // 5 V
  sim::SimClock clock = {.write_us = 1};
};

// Programs byte 0 of an erased chip with 0x02: a chip erase, a byte write
// and its read-back.
Outcome ProgramOneByte(const Bench& bench) {
  sim::SimulatedHardware hw(bench.kind, "", 0x378,
                            TimingFor(ChipModelFor(bench.device, bench.kind), bench.clock));
  testing::ScriptedServicesView view;
  int beap = 0;
  Services services(view, beap);
  PortLink link(hw.port(), services);
  // TimeBaseKorr is right: the same time a write as the simulated adapter's.
  const uint32_t korr = bench.clock.write_us;
  link.Configure(0x378, 100000, korr);
  const DeviceDescriptor device{.device_name = bench.device,
                                .supply_code = bench.supply_code,
                                .write_wait = UsToCycles(bench.write_us, korr),
                                .erase_wait = UsToCycles(bench.erase_us, korr),
                                .code_size = bench.kind.code_size,
                                .eeprom_size = bench.kind.eeprom_size,
                                .spi_mode = bench.kind.spi_mode};
  ImageBuffer image;
  image.Clear();
  image.bytes[0] = 0x02;
  image.loaded_byte_count = 1;
  DeviceOperations operations(link, services, device, image);
  const OperationResult result = operations.ProgramMemory(kCodeMemory);
  if (result == OperationResult::kOk) {
    EXPECT_EQ(hw.chip().state().code[0], 0x02) << bench.device;
  }
  return {result, sim::IgnoredHint(hw.chip().ignored())};
}

constexpr sim::ChipKind k4K{4, 0x1000, 0};
constexpr sim::ChipKind k8K{4, 0x2000, 0};
constexpr sim::ChipKind k12K{4, 0x3000, 0};
constexpr sim::ChipKind k12KMode3{3, 0x3000, 0};
constexpr sim::ChipKind k8KEeprom{3, 0x2000, 0x800};

TEST(ChipWaitsTest, ShortWaitsFailWithTheReasonLongOnesPass) {
  constexpr uint32_t kErase = 260'000;  // long enough for every chip
  constexpr uint32_t kWrite = 2'000;
  constexpr sim::SimClock k10{.write_us = 10};
  constexpr char kS51[] = "the chip ignored a read: chip still writing a byte, 404 of 405 µs done";
  constexpr char kS8253[] =
      "the chip ignored a read: chip still writing a byte, 3,998 of 4,000 µs done";
  constexpr char kMode3[] =
      "the chip ignored a read: chip still writing a byte, 82 of 2,500 µs done";
  constexpr char kErasing[] =
      "the chip ignored a write: chip still erasing, 499,980 of 500,000 µs done";
  const struct {
    Bench too_short;
    uint32_t enough;  // the wait that was too short, made long enough
    const char* hint;
  } cases[] = {
      // Mode 4 reads a byte back 2w + 120 µs after its write.
      {{"AT89S51", k4K, 142, kErase}, 143, kS51},
      {{"AT89S8253", k12K, 1939, kErase}, 1940, kS8253},
      // Mode 3 polls every 130 µs, at most w times.
      {{"AT89S53", k12KMode3, 19, kErase}, 20, kMode3},
      {{"AT89S8252", k8KEeprom, 19, kErase}, 20, kMode3},
      // The first write comes 2e + 160 writes (mode 4) or 2e + 120 (mode 3)
      // after the erase began.
      {{"AT89S51", k4K, kWrite, 249'190, 100, k10}, 249'200, kErasing},
      {{"AT89S8253", k12K, kWrite, 249'190, 100, k10}, 249'200, kErasing},
      {{"AT89S53", k12KMode3, kWrite, 249'390, 100, k10}, 249'400, kErasing},
      {{"AT89S8252", k8KEeprom, kWrite, 249'390, 100, k10}, 249'400, kErasing},
  };
  for (const auto& c : cases) {
    const bool erase = c.too_short.erase_us != kErase;
    const std::string name = std::string(c.too_short.device) + (erase ? " erase" : " write");
    const Outcome failed = ProgramOneByte(c.too_short);
    EXPECT_NE(failed.result, OperationResult::kOk) << name;
    EXPECT_EQ(failed.hint, c.hint) << name;
    Bench enough = c.too_short;
    (erase ? enough.erase_us : enough.write_us) = c.enough;
    const Outcome passed = ProgramOneByte(enough);
    EXPECT_EQ(passed.result, OperationResult::kOk) << name << ": " << passed.hint;
  }
}

TEST(ChipWaitsTest, ClockAndSupplyOutsideTheChipsLimitsAreRefused) {
  // The system holds each SCK level 2 register writes: 2 µs here.
  const struct {
    Bench bench;
    const char* hint;  // empty: programs
  } cases[] = {
      {{"AT89S51", k4K, 200, 260'000, 100, {.write_us = 1, .crystal_hz = 4'000'000}}, ""},
      {{"AT89S51", k4K, 200, 260'000, 100, {.write_us = 1, .crystal_hz = 3'999'000}},
       "the chip ignored a clock edge: SCK level held 2,000 ns, the chip needs 2,001 ns at "
       "3,999,000 Hz"},
      {{"AT89S8252", k8KEeprom, 20, 260'000, 100, {.write_us = 1, .crystal_hz = 10'000'000}}, ""},
      {{"AT89S8252", k8KEeprom, 20, 260'000, 100, {.write_us = 1, .crystal_hz = 9'000'000}},
       "the chip ignored a clock edge: SCK level held 2,000 ns, the chip needs 2,223 ns at "
       "9,000,000 Hz"},
      {{"AT89S51", k4K, 200, 260'000, 79},
       "the chip ignored a power-up: supply 3.95 V outside "
       "4.00 V to 5.50 V"},
      {{"AT89S51", k4K, 200, 260'000, 110}, ""},
      {{"AT89S51", k4K, 200, 260'000, 111},
       "the chip ignored a power-up: supply 5.55 V outside "
       "4.00 V to 5.50 V"},
      {{"AT89LS8252", k8KEeprom, 20, 260'000, 54}, ""},
      {{"AT89S8252", k8KEeprom, 20, 260'000, 54},
       "the chip ignored a power-up: supply 2.70 V "
       "outside 4.00 V to 6.00 V"},
  };
  for (const auto& c : cases) {
    const Outcome run = ProgramOneByte(c.bench);
    EXPECT_EQ(run.result == OperationResult::kOk, *c.hint == '\0')
        << c.bench.device << ": " << run.hint;
    if (*c.hint != '\0') {
      EXPECT_EQ(run.hint, c.hint) << c.bench.device;
    }
  }
}

}  // namespace
}  // namespace zivivar
