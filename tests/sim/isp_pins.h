// Drives a simulated chip's pins directly, one tick per call as the adapter
// would, with the bit timing of the system's own serial routines: a bit sent
// is MOSI set (1 tick), SCK high (2 ticks), SCK low (2 ticks); a bit read
// costs 2 more ticks for the input byte, taken at the chosen point.
#pragma once

#include <cstdint>

#include "sim/sim_target.h"

namespace zivivar::testing {

enum class Sample {
  kBeforeRise,  // SCK low, before the rising edge (the mode-3 rule)
  kWhileHigh,   // after the rising edge, before the falling one (the mode-4 rule)
  kAfterFall,   // after the falling edge: wrong for both
};

class IspPins {
 public:
  explicit IspPins(sim::SimTarget& target) : target_(target) {}

  void Tick(uint32_t count = 1) {
    for (uint32_t i = 0; i < count; ++i)
      target_.OnRegisterWrite(lines_);
  }
  void Supply(bool on, uint8_t code = 100) {
    lines_.powered = on;
    lines_.supply_code = on ? code : 0;
    Tick();
  }
  void Rst(bool asserted) {
    lines_.rst = asserted;
    Tick();
  }
  // Supply on, RST asserted and held for settle ticks.
  void PowerUp(uint32_t settle) {
    lines_.sck = false;
    Supply(true);
    Rst(true);
    Tick(settle);
  }

  void Send(uint8_t byte, bool lsb_first = false) {
    for (int i = 0; i < 8; ++i) {
      const int bit = lsb_first ? i : 7 - i;
      lines_.mosi = ((byte >> bit) & 1) != 0;
      Tick();
      Clock(true);
      Clock(false);
    }
  }
  uint8_t Receive(Sample sample) {
    uint8_t byte = 0;
    for (int bit = 7; bit >= 0; --bit) {
      bool miso = false;
      if (sample == Sample::kBeforeRise)
        miso = Miso();
      Clock(true);
      if (sample == Sample::kWhileHigh)
        miso = Miso();
      Clock(false);
      if (sample == Sample::kAfterFall)
        miso = Miso();
      if (miso)
        byte = static_cast<uint8_t>(byte | 1 << bit);
    }
    return byte;
  }
  // The input byte: two register writes with unchanged lines, then MISO.
  bool Miso() {
    Tick(2);
    return target_.Miso();
  }

  sim::TargetLines& lines() { return lines_; }

 private:
  void Clock(bool high) {
    lines_.sck = high;
    Tick(2);
  }

  sim::SimTarget& target_;
  sim::TargetLines lines_;
};

}  // namespace zivivar::testing
