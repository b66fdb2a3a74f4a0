// Helpers for the protocol tests: Script writes down, step by step, the
// register writes a routine must make (the adapter's images tracked by hand),
// and Transcript reads a recorded sequence back as the protocol's units
// (bytes sent, bytes read, timer pulses, delays), refusing any bit whose
// framing is off.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "programmer/port_link.h"
#include "support/register_recorder.h"

namespace zivivar::testing {

class Script {
 public:
  explicit Script(uint32_t timebase_korr = 85) : korr_(timebase_korr) {}

  // A write to register 8 is always its image.
  Script& W(int reg, uint8_t value) {
    if (reg == 8)
      reg8 = value;
    writes.push_back({reg, value});
    return *this;
  }
  Script& Lines(uint8_t value) {
    reg10 = value;
    return W(10, reg10);
  }
  // The 16 supply-word bits, 3 writes each, then load pulse and data low.
  Script& Supply(uint8_t first, uint8_t second = 0) {
    for (const uint8_t byte : {first, second}) {
      for (int bit = 7; bit >= 0; --bit) {
        reg4 = static_cast<uint8_t>(((byte >> bit) & 1) ? (reg4 | 0x02) : (reg4 & ~0x02));
        W(4, reg4);
        W(4, reg4 | 0x01);
        W(4, reg4);
      }
    }
    W(4, reg4 | 0x04);
    W(4, reg4);
    reg4 &= static_cast<uint8_t>(~0x02);
    return W(4, reg4);
  }
  Script& DelayMs(uint32_t ms) {
    const uint32_t n = UsToCycles(ms * 1000, korr_);
    for (uint32_t i = 0; i < n; ++i)
      W(4, reg4 | 0x20);
    return W(4, reg4);
  }
  Script& Pulses(uint32_t n) {
    for (uint32_t i = 0; i < n; ++i)
      W(4, reg4 | 0x20).W(4, reg4);
    return *this;
  }
  // MOSI set with SCK low, then SCK high twice and low twice, per bit.
  Script& Send(uint8_t byte) {
    for (int bit = 7; bit >= 0; --bit) {
      reg10 = static_cast<uint8_t>(((byte >> bit) & 1) ? (reg10 | 0x08) : (reg10 & ~0x08));
      W(10, reg10);
      W(10, reg10 | 0x20).W(10, reg10 | 0x20);
      W(10, reg10).W(10, reg10);
    }
    return *this;
  }
  Script& Send(std::initializer_list<uint8_t> bytes) {
    for (const uint8_t b : bytes)
      Send(b);
    return *this;
  }
  // Mode 3 takes the input byte before the rising edge, mode 4 while SCK is high.
  Script& Read(int mode) {
    for (int bit = 0; bit < 8; ++bit) {
      if (mode == 3)
        W(4, reg4).W(8, reg8);
      W(10, reg10 | 0x20).W(10, reg10 | 0x20);
      if (mode == 4)
        W(4, reg4).W(8, reg8);
      W(10, reg10).W(10, reg10);
    }
    return *this;
  }

  std::vector<RegisterWrite> writes;
  uint8_t reg0 = 0, reg4 = 0, reg8 = 0, reg10 = 0;

 private:
  uint32_t korr_;
};

// Tokens: "AC" a byte sent, "R3"/"R4" a byte read at the mode-3 or mode-4
// sampling point, "P<n>" n timer pulses, "D<n>" a delay of n writes with the
// timer bit set, "W<reg>=<hex>" any other write, "BAD@<index>" a bit whose
// writes do not follow the framing (or a byte cut short).
inline std::vector<std::string> Transcript(const std::vector<RegisterWrite>& w) {
  std::vector<std::string> out;
  char text[24];
  const size_t n = w.size();
  const auto is = [&](size_t i, int reg) { return i < n && w[i].reg == reg; };
  size_t i = 0;
  while (i < n) {
    // A byte sent: 8 bits of (low, high, high, low, low) on register 10.
    const auto send_bit = [&](size_t at) {
      if (!(is(at, 10) && is(at + 4, 10) && is(at + 1, 10) && is(at + 2, 10) && is(at + 3, 10)))
        return false;
      const uint8_t v = w[at].value;
      return (v & 0x20) == 0 && w[at + 1].value == (v | 0x20) && w[at + 2].value == (v | 0x20) &&
             w[at + 3].value == v && w[at + 4].value == v;
    };
    const auto read_bit = [&](size_t at, int mode) {
      const size_t hi = mode == 3 ? at + 2 : at;
      const size_t in = mode == 3 ? at : at + 2;
      if (!(is(in, 4) && is(in + 1, 8) && is(hi, 10) && is(hi + 1, 10) && is(at + 4, 10) &&
            is(at + 5, 10)))
        return false;
      const uint8_t v = w[at + 4].value;
      return (v & 0x20) == 0 && w[hi].value == (v | 0x20) && w[hi + 1].value == (v | 0x20) &&
             w[at + 5].value == v && (w[in].value & 0x20) == 0;
    };
    if (send_bit(i)) {
      uint8_t byte = 0;
      int bits = 0;
      for (; bits < 8 && send_bit(i); ++bits, i += 5) {
        byte = static_cast<uint8_t>(byte << 1 | ((w[i].value & 0x08) ? 1 : 0));
      }
      if (bits != 8) {
        std::snprintf(text, sizeof text, "BAD@%zu", i);
        out.push_back(text);
        continue;
      }
      std::snprintf(text, sizeof text, "%02X", byte);
      out.push_back(text);
      continue;
    }
    bool read = false;
    for (const int mode : {3, 4}) {
      if (!read_bit(i, mode))
        continue;
      int bits = 0;
      for (; bits < 8 && read_bit(i, mode); ++bits)
        i += 6;
      if (bits == 8) {
        std::snprintf(text, sizeof text, "R%d", mode);
      } else {
        std::snprintf(text, sizeof text, "BAD@%zu", i);
      }
      out.push_back(text);
      read = true;
      break;
    }
    if (read)
      continue;
    if (is(i, 4) && (w[i].value & 0x20)) {
      const uint8_t base = static_cast<uint8_t>(w[i].value & ~0x20);
      size_t run = 0;
      while (is(i + run, 4) && w[i + run].value == (base | 0x20))
        ++run;
      if (run >= 2 && is(i + run, 4) && w[i + run].value == base) {
        std::snprintf(text, sizeof text, "D%zu", run);
        out.push_back(text);
        i += run + 1;
        continue;
      }
      size_t pulses = 0;
      while (is(i, 4) && is(i + 1, 4) && w[i].value == (base | 0x20) && w[i + 1].value == base) {
        ++pulses;
        i += 2;
      }
      if (pulses > 0) {
        std::snprintf(text, sizeof text, "P%zu", pulses);
        out.push_back(text);
        continue;
      }
    }
    std::snprintf(text, sizeof text, "W%d=%02X", w[i].reg, w[i].value);
    out.push_back(text);
    ++i;
  }
  return out;
}

}  // namespace zivivar::testing
