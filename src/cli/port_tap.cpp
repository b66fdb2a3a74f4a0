#include "cli/port_tap.h"

#include "programmer/port_link.h"

namespace zivivar {

void PortTap::Out(uint16_t port, uint8_t value) {
  inner_.Out(port, value);
  if (port == base_) {
    data_ = value;
  } else if (port == base_ + 2) {
    const bool strobe_was_high = (control_ & 0x01) != 0;
    const bool strobe_high = (value & 0x01) != 0;
    // The adapter takes the data when the strobe rises after it acknowledged
    // the register addressed while the strobe was low.
    if (!strobe_was_high && strobe_high && acknowledged_)
      Latch(control_ & 0x0E, data_);
    if (!strobe_high)
      acknowledged_ = false;
    control_ = value;
  }
}

uint8_t PortTap::In(uint16_t port) {
  const uint8_t value = inner_.In(port);
  if (port != base_ + 1)
    return value;
  const bool busy = (value & kStatusBusy) != 0;
  if ((control_ & 0x01) == 0) {
    if (busy)
      acknowledged_ = true;
  } else if (!busy && nibble_register_ >= 0) {
    // The first idle status after the latch carries the answer nibble.
    const uint8_t nibble = NibbleFromStatus(value);
    if (nibble_register_ == 4) {
      low_nibble_ = nibble;
      have_low_nibble_ = true;
    } else if (have_low_nibble_) {
      have_low_nibble_ = false;
      if (on_input_)
        on_input_(reg10_, static_cast<uint8_t>(nibble << 4 | low_nibble_));
    }
    nibble_register_ = -1;
  }
  return value;
}

void PortTap::Latch(int reg, uint8_t value) {
  ++register_writes_;
  if (reg == 10)
    reg10_ = value;
  // An input byte is a register-4 write directly followed by a register-8 one.
  if (reg == 4 || reg == 8) {
    if (reg == 4)
      have_low_nibble_ = false;
    nibble_register_ = reg;
  } else {
    have_low_nibble_ = false;
    nibble_register_ = -1;
  }
  if (on_write_)
    on_write_(reg, value);
}

}  // namespace zivivar
