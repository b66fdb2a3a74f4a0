// The jobs on the adapter alone: one detection, and the timing of register
// writes that gives TimeBaseKorr.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "commands/command_context.h"
#include "commands/command_result.h"

namespace zivivar {

// One attempt to find the adapter (kOk, kAdapterNotFound or kAdapterLost),
// then the after-work hook. What the adapter answered is seen through the
// link's observer.
CommandResult Detect(const CommandContext& context);

struct Calibration {
  CommandResult result = CommandResult::kOk;
  uint64_t writes = 0;                 // register writes timed
  std::chrono::nanoseconds elapsed{};  // the time they took
  double us_per_write = 0;
  long korr = 0;         // the TimeBaseKorr that matches, 1 to 100
  bool clamped = false;  // the measured time lies outside 1 to 100 microseconds
};

// Times writes register writes (register 4 with the timer bit, the writes of
// the counted delays), or, without a count, batches of them until half a
// second has passed. The adapter is idle and unpowered before and after.
Calibration Calibrate(const CommandContext& context, std::optional<uint64_t> writes);

}  // namespace zivivar
