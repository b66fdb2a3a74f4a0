#include "commands/adapter_commands.h"

#include <algorithm>
#include <cmath>

#include "hw/adapter_registers.h"

namespace zivivar {
namespace {

// Calibration without a count: batches of writes until this much time has passed.
constexpr auto kCalibrationTime = std::chrono::milliseconds(500);
constexpr unsigned kCalibrationBatch = 1000;
constexpr uint64_t kCalibrationMaxWrites = 100000000;

}  // namespace

CommandResult Detect(const CommandContext& context) {
  return FromLinkResult(context.link.DetectAdapter());
}

Calibration Calibrate(const CommandContext& context, std::optional<uint64_t> writes) {
  PortLink& link = context.link;
  link.ClearLinkLost();
  link.RaisePriority(context.os_kind);
  link.ResetAdapter();
  uint8_t& reg4 = link.RegisterImage(kSupplyShiftRegister);
  reg4 |= kReg4Timer;
  Calibration calibration;
  uint64_t count = 0;
  bool failed = false;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  if (writes) {
    for (; count < *writes && !failed; ++count)
      failed = link.WriteRegister(kSupplyShiftRegister, reg4) != LinkResult::kOk;
  } else {
    while (!failed && count < kCalibrationMaxWrites) {
      for (unsigned i = 0; i < kCalibrationBatch && !failed; ++i, ++count)
        failed = link.WriteRegister(kSupplyShiftRegister, reg4) != LinkResult::kOk;
      if (Clock::now() - start >= kCalibrationTime)
        break;
    }
  }
  calibration.elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start);
  reg4 &= static_cast<uint8_t>(~kReg4Timer);
  link.WriteRegister(kSupplyShiftRegister, reg4);
  link.ResetAdapter();
  link.RestorePriority();
  if (failed || link.link_lost()) {
    calibration.result = CommandResult::kAdapterLost;
    return calibration;
  }
  calibration.writes = count;
  calibration.us_per_write =
      static_cast<double>(calibration.elapsed.count()) / 1000.0 / static_cast<double>(count);
  const long rounded = std::lround(calibration.us_per_write);
  calibration.korr = std::clamp(rounded, 1L, 100L);
  calibration.clamped = calibration.korr != rounded;
  return calibration;
}

}  // namespace zivivar
