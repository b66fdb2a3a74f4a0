#include "sim/ignored_instructions.h"

#include <cstdio>

namespace zivivar::sim {

namespace {

// 500000 -> "500,000".
std::string Grouped(uint64_t value) {
  std::string digits = std::to_string(value);
  for (size_t i = digits.size(); i > 3; i -= 3)
    digits.insert(i - 3, ",");
  return digits;
}

// 4500 -> "4.50 V".
std::string Volts(uint64_t mv) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu.%02llu V", static_cast<unsigned long long>(mv / 1000),
                static_cast<unsigned long long>(mv % 1000 / 10));
  return text;
}

const char* Noun(Asked asked, bool plural) {
  switch (asked) {
    case Asked::kRead:
      return plural ? "reads" : "read";
    case Asked::kWrite:
      return plural ? "writes" : "write";
    case Asked::kErase:
      return plural ? "erases" : "erase";
    case Asked::kLockWrite:
      return plural ? "lock-bit writes" : "lock-bit write";
    case Asked::kInstruction:
      return plural ? "instructions" : "instruction";
    case Asked::kClock:
      return plural ? "clock edges" : "clock edge";
    case Asked::kPowerUp:
      return plural ? "power-ups" : "power-up";
  }
  return "";
}

std::string Reason(const IgnoredGroup& g) {
  switch (g.why) {
    case Why::kBusyWriting:
      return "chip still writing a byte, " + Grouped(g.a) + " of " + Grouped(g.b) + " µs done";
    case Why::kBusyErasing:
      return "chip still erasing, " + Grouped(g.a) + " of " + Grouped(g.b) + " µs done";
    case Why::kBusyLocking:
      return "chip still writing lock bits, " + Grouped(g.a) + " of " + Grouped(g.b) + " µs done";
    case Why::kNotEnabled:
      return "programming not enabled";
    case Why::kLocked: {
      std::string bits;
      for (int bit = 0; bit < 3; ++bit) {
        if ((g.a >> bit & 1) != 0)
          bits += (bits.empty() ? "" : ", ") + std::to_string(bit + 1);
      }
      return "code memory locked (lock bit " + bits + ")";
    }
    case Why::kBeyondMemory: {
      char text[96];
      std::snprintf(text, sizeof text, "address 0x%llX beyond the memory of ",
                    static_cast<unsigned long long>(g.a));
      return text + Grouped(g.b) + " bytes";
    }
    case Why::kResetTooShort:
      return "RST held " + Grouped(g.a) + " of " + Grouped(g.b) + " µs";
    case Why::kGarbled:
      return "garbled, no instruction of this chip";
    case Why::kSckTooFast:
      return "SCK level held " + Grouped(g.a) + " ns, the chip needs " + Grouped(g.b) + " ns at " +
             Grouped(g.c) + " Hz";
    case Why::kOutOfStep:
      return "SCK or MOSI changed too soon on the adapter's lines, chip out of step";
    case Why::kSupply:
      return "supply " + Volts(g.a) + " outside " + Volts(g.b) + " to " + Volts(g.c);
  }
  return "";
}

}  // namespace

void IgnoredLog::Add(Asked asked, Why why, uint64_t a, uint64_t b, uint64_t c) {
  for (IgnoredGroup& group : groups_) {
    if (group.asked == asked && group.why == why) {
      ++group.count;
      return;
    }
  }
  groups_.push_back({asked, why, 1, a, b, c});
}

uint64_t IgnoredLog::total() const {
  uint64_t sum = 0;
  for (const IgnoredGroup& group : groups_)
    sum += group.count;
  return sum;
}

std::vector<std::string> IgnoredReport(const IgnoredLog& log) {
  std::vector<std::string> lines;
  for (const IgnoredGroup& g : log.groups()) {
    lines.push_back(Grouped(g.count) + " " + Noun(g.asked, g.count != 1) +
                    " ignored: " + Reason(g));
  }
  return lines;
}

std::string IgnoredHint(const IgnoredLog& log) {
  if (log.empty())
    return "";
  const IgnoredGroup& g = log.groups().front();
  const std::string noun = Noun(g.asked, false);
  const char* article = noun.front() == 'e' || noun.front() == 'i' ? "an " : "a ";
  return "the chip ignored " + (article + noun) + ": " + Reason(g);
}

}  // namespace zivivar::sim
