#include "sim/sim_adapter.h"

#include <string>
#include <utility>

namespace zivivar::sim {

void SimAdapter::Out(uint16_t port, uint8_t value) {
  // A loss due after the last write takes effect when the next one begins,
  // so that the last write still completes its handshake.
  if (lose_armed_ && register_writes_ >= lose_at_) {
    RemoveAdapter();
  }
  if (absent_)
    return;
  if (port == base_) {
    if (state_ != State::kIdle)
      Error("data changed while a register was addressed");
    data_ = value;
  } else if (port == base_ + 2) {
    Control(value);
  }
}

uint8_t SimAdapter::In(uint16_t port) {
  if (port != base_ + 1)
    return 0xFF;
  ++status_reads_;
  if (absent_)
    return stuck_status_;
  if (state_ == State::kAddressed)
    state_ = State::kAcknowledged;
  return status_;
}

void SimAdapter::Control(uint8_t value) {
  if ((value & 0xF0) != 0) {
    Error("control bits 4 to 7 set");
    return;
  }
  const bool strobe = (value & 0x01) != 0;
  const bool was_strobe = (control_ & 0x01) != 0;
  control_ = value;
  if (!strobe) {
    // Register number placed (or changed) with the strobe low: acknowledge.
    state_ = State::kAddressed;
    status_ |= wiring::kAcknowledge;
    return;
  }
  if (was_strobe)
    return;  // no edge, nothing happens
  if (state_ != State::kAcknowledged) {
    Error("strobe set before the acknowledge was read");
    state_ = State::kIdle;
    status_ &= static_cast<uint8_t>(~wiring::kAcknowledge);
    return;
  }
  Latch(value & 0x0E, data_);
  state_ = State::kIdle;
  status_ &= static_cast<uint8_t>(~wiring::kAcknowledge);
}

void SimAdapter::Latch(int reg, uint8_t value) {
  const uint8_t old = regs_[reg >> 1];
  const bool lines_kept = reg != 10 || LinesKept(old, value);
  if (sck_writes_ < kMinSckWrites)
    ++sck_writes_;
  regs_[reg >> 1] = value;
  ++register_writes_;
  if (on_latch_)
    on_latch_(reg, value);

  if (reg == 4) {
    // The supply word's shift register: data taken on the clock's rising
    // edge, the whole word taken over on the load's rising edge.
    if ((value & ~old & wiring::kSupplyShiftClock) != 0) {
      shift_ =
          static_cast<uint16_t>(shift_ << 1 | ((value & wiring::kSupplyShiftData) != 0 ? 1 : 0));
    }
    if ((value & ~old & wiring::kSupplyShiftLoad) != 0)
      supply_word_ = shift_;
  }

  if (target_ != nullptr) {
    target_->OnRegisterWrite(lines());
    if (!lines_kept)
      target_->OutOfStep();
  }

  if (reg == 4 || reg == 8) {
    const uint8_t input = InputByte();
    const int first = reg == 4 ? 0 : 4;
    auto status = static_cast<uint8_t>(status_ & wiring::kAcknowledge);
    for (int bit = 0; bit < 4; ++bit) {
      if ((input >> (first + bit)) & 1)
        status = static_cast<uint8_t>(status | wiring::kNibbleLines[bit]);
    }
    status_ = status;
  }
}

bool SimAdapter::LinesKept(uint8_t old, uint8_t value) {
  const bool sck_changed = ((old ^ value) & wiring::kSck) != 0;
  const bool mosi_changed = ((old ^ value) & wiring::kMosi) != 0;
  const uint32_t held = sck_writes_;
  if (sck_changed)
    sck_writes_ = 0;
  const bool listening = (reg(8) & wiring::kSupplySwitch) != 0 && (old & value & wiring::kRst) != 0;
  if (!listening)
    return true;
  const bool was_high = (old & wiring::kSck) != 0;
  std::string broken;
  if (sck_changed && held < kMinSckWrites) {
    broken = std::string("SCK ") + (was_high ? "high" : "low") + " for " + std::to_string(held) +
             " register write(s)";
  } else if (mosi_changed && (was_high || (value & wiring::kSck) != 0)) {
    broken = "MOSI changed while SCK was high";
  } else if (mosi_changed && held < kMinSckWrites) {
    broken = "MOSI changed " + std::to_string(held) + " register write(s) after SCK fell";
  }
  if (broken.empty())
    return true;
  Error(std::move(broken));
  return false;
}

TargetLines SimAdapter::lines() const {
  TargetLines lines;
  const uint8_t r8 = reg(8);
  const uint8_t r10 = reg(10);
  lines.powered = (r8 & wiring::kSupplySwitch) != 0;
  lines.supply_code = static_cast<uint8_t>(supply_word_ >> 8);
  lines.rst = (r10 & wiring::kRst) != 0;
  lines.sck = (r10 & wiring::kSck) != 0;
  lines.mosi = (r10 & wiring::kMosi) != 0;
  return lines;
}

uint8_t SimAdapter::InputByte() const {
  uint8_t input = reg(10);
  // An unpowered chip drives nothing; the adapter's echo shows through.
  if (target_ != nullptr && (reg(8) & wiring::kSupplySwitch) != 0) {
    input = static_cast<uint8_t>((input & ~wiring::kMisoInput) |
                                 (target_->Miso() ? wiring::kMisoInput : 0));
  }
  return static_cast<uint8_t>(input ^ loopback_xor_);
}

void SimAdapter::RemoveAdapter(uint8_t stuck_status) {
  absent_ = true;
  stuck_status_ = stuck_status;
  lose_armed_ = false;
}

void SimAdapter::LoseAfter(uint64_t writes) {
  if (writes == 0) {
    RemoveAdapter();
    return;
  }
  lose_armed_ = true;
  lose_at_ = register_writes_ + writes;
}

void SimAdapter::ReconnectAdapter() {
  absent_ = false;
  lose_armed_ = false;
  state_ = State::kIdle;
  control_ = 0x01;
  status_ = static_cast<uint8_t>(status_ & ~wiring::kAcknowledge);
}

void SimAdapter::Error(std::string what) {
  ++errors_;
  last_error_ = std::move(what);
}

}  // namespace zivivar::sim
