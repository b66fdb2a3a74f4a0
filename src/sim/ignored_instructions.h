// What the simulated chip did not obey, and why, grouped by what it was
// asked and the reason; and the lines that tell the user.
//
//   IgnoredLog log;                      // kept by At89sTarget
//   log.Add(Asked::kWrite, Why::kBusyErasing, 412, 500000);
//   IgnoredReport(log) -> {"1 write ignored: chip still erasing, 412 of 500,000 µs done"}
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zivivar::sim {

// What the chip was asked to do.
enum class Asked {
  kRead,
  kWrite,
  kErase,
  kLockWrite,
  kInstruction,  // bits that made no instruction
  kClock,        // an SCK edge
  kPowerUp,      // the supply coming on
};

// Why it did not; a, b and c are the figures each reason quotes.
enum class Why {
  kBusyWriting,    // a: µs done, b: µs the write takes
  kBusyErasing,    // a: µs done, b: µs the erase takes
  kBusyLocking,    // a: µs done, b: µs the lock-bit write takes
  kNotEnabled,     // programming enable not received since the reset
  kLocked,         // a: the programmed lock bits (bit 0 = lock bit 1)
  kBeyondMemory,   // a: the address, b: the memory's size
  kResetTooShort,  // a: µs RST was held, b: µs it must be held
  kGarbled,        // no instruction of this chip
  kSckTooFast,     // a: ns the SCK level lasted, b: ns it must last, c: crystal Hz
  kSupply,         // a: supply in mV, b, c: the chip's range in mV
  kOutOfStep,      // the adapter's lines broke their timing rules
};

struct IgnoredGroup {
  Asked asked;
  Why why;
  uint64_t count = 0;
  // The figures of the first one.
  uint64_t a = 0, b = 0, c = 0;
};

class IgnoredLog {
 public:
  void Add(Asked asked, Why why, uint64_t a = 0, uint64_t b = 0, uint64_t c = 0);
  void Clear() { groups_.clear(); }
  // In the order of their first occurrence.
  const std::vector<IgnoredGroup>& groups() const { return groups_; }
  bool empty() const { return groups_.empty(); }
  uint64_t total() const;

 private:
  std::vector<IgnoredGroup> groups_;
};

// One line per group, e.g. "3 reads ignored: programming not enabled".
std::vector<std::string> IgnoredReport(const IgnoredLog& log);
// The first group's line in the singular, e.g. "the chip ignored a write:
// chip still erasing, 412 of 500,000 µs done"; empty for an empty log.
std::string IgnoredHint(const IgnoredLog& log);

}  // namespace zivivar::sim
