// What a simulated chip in the adapter's socket sees and drives: the supply
// and the serial programming lines from the simulated adapter, MISO back.
#pragma once

#include <cstdint>

namespace zivivar::sim {

struct TargetLines {
  bool powered = false;     // the adapter's supply switch
  uint8_t supply_code = 0;  // the supply word's first byte, in 50 mV steps
  bool rst = false;         // true: reset asserted
  bool sck = false;
  bool mosi = false;
};

class SimTarget {
 public:
  virtual ~SimTarget() = default;
  // The adapter latched a register write; lines are its outputs now. Called
  // once per register write, which is also the simulated clock's tick.
  virtual void OnRegisterWrite(const TargetLines& lines) = 0;
  // The level the target drives on MISO now (true = high).
  virtual bool Miso() const = 0;
  // The last write broke the adapter's line rules: the chip may have taken a
  // wrong bit or none, and is out of step with the programmer.
  virtual void OutOfStep() {}
};

}  // namespace zivivar::sim
