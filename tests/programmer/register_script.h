// Helpers for the link and protocol tests: Rig, one link over a port
// backend, and Script, which writes down step by step the register writes a
// routine must make, with the adapter's register images tracked by hand.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "programmer/port_link.h"
#include "support/register_recorder.h"
#include "support/scripted_services_view.h"

namespace zivivar::testing {

template <class Io>
struct Rig {
  Rig() { link.Configure(0x378, 200, 85); }  // a short time-out
  ScriptedServicesView view;
  int beap = 0;
  Services services{view, beap};
  Io io;
  PortLink link{io, services};
};

struct Script {
  Script& W(int reg, int value) {
    writes.push_back({reg, static_cast<uint8_t>(value)});
    return *this;
  }
  Script& Lines(int value) {
    reg10 = static_cast<uint8_t>(value);
    return W(10, reg10);
  }
  // 16 bits, most significant first, three writes each (data bit 0x02, clock
  // 0x01 up and down), then the load pulse 0x04 and the data bit cleared.
  Script& Supply(uint8_t first, uint8_t second = 0) {
    for (int bit = 15; bit >= 0; --bit) {
      reg4 = static_cast<uint8_t>(((first << 8 | second) >> bit) & 1 ? reg4 | 2 : reg4 & ~2);
      W(4, reg4).W(4, reg4 | 0x01).W(4, reg4);
    }
    W(4, reg4 | 0x04).W(4, reg4);
    reg4 &= static_cast<uint8_t>(~2);
    return W(4, reg4);
  }
  // The timer bit 0x20 held for ms * 1000 / 85 writes (85 us a write), then cleared.
  Script& DelayMs(uint32_t ms) {
    for (uint32_t i = 0; i < ms * 1000 / 85; ++i)
      W(4, reg4 | 0x20);
    return W(4, reg4);
  }
  Script& Pulses(uint32_t n) {
    for (uint32_t i = 0; i < n; ++i)
      W(4, reg4 | 0x20).W(4, reg4);
    return *this;
  }
  // SCK (0x20) set or cleared for two writes.
  Script& Sck(bool high) {
    return W(10, high ? reg10 | 0x20 : reg10).W(10, high ? reg10 | 0x20 : reg10);
  }
  // Per bit: MOSI (0x08) with SCK low, then SCK high and low.
  Script& Send(std::initializer_list<uint8_t> bytes) {
    for (const uint8_t byte : bytes) {
      for (int bit = 7; bit >= 0; --bit)
        Lines((byte >> bit) & 1 ? reg10 | 0x08 : reg10 & ~0x08).Sck(true).Sck(false);
    }
    return *this;
  }
  // Per bit the input byte (registers 4 and 8 with their images): mode 3
  // takes it before the rising edge, mode 4 while SCK is high.
  Script& Read(int mode) {
    for (int bit = 0; bit < 8; ++bit) {
      if (mode == 3)
        W(4, reg4).W(8, reg8);
      Sck(true);
      if (mode == 4)
        W(4, reg4).W(8, reg8);
      Sck(false);
    }
    return *this;
  }

  std::vector<RegisterWrite> writes{};  // {}: designated initializers may leave it out
  uint8_t reg4 = 0, reg8 = 0, reg10 = 0;
};

}  // namespace zivivar::testing
