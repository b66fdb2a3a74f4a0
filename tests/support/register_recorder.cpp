#include "support/register_recorder.h"

#include <cstdio>

#include "programmer/port_link.h"

namespace zivivar::testing {

void PrintTo(const RegisterWrite& write, std::ostream* os) {
  char text[32];
  std::snprintf(text, sizeof text, "R%d=0x%02X", write.reg, write.value);
  *os << text;
}

void RegisterRecorder::Out(uint16_t port, uint8_t value) {
  if (port == base_) {
    data_ = value;
  } else if (port == base_ + 2) {
    const bool rising = (control_ & 0x01) == 0 && (value & 0x01) != 0;
    control_ = value;
    if (rising)
      Latch(value & 0x0E, data_);
  }
}

uint8_t RegisterRecorder::In(uint16_t port) {
  if (port != base_ + 1)
    return 0xFF;
  ++status_reads_;
  return static_cast<uint8_t>(((control_ & 0x01) == 0 ? kStatusBusy : 0) | nibble_bits_);
}

void RegisterRecorder::Latch(int reg, uint8_t value) {
  ++write_count_;
  last_[reg >> 1] = value;
  if (recording_)
    writes_.push_back({reg, value});
  if (reg != 4 && reg != 8)
    return;

  uint8_t nibble;
  if (hook_) {
    nibble = hook_(reg);
  } else {
    uint8_t input = last_[5];
    if (reg == 8) {
      bool driven = miso_driven_;
      bool level = miso_;
      if (!miso_queue_.empty()) {
        driven = true;
        level = miso_queue_.front();
        miso_queue_.pop_front();
      }
      if (driven)
        input = static_cast<uint8_t>((input & ~kReg10Miso) | (level ? kReg10Miso : 0));
    }
    nibble = reg == 4 ? input : static_cast<uint8_t>(input >> 4);
  }
  nibble_bits_ = StatusFromNibble(nibble & 0x0F);
}

void RegisterRecorder::QueueMiso(std::initializer_list<bool> levels) {
  miso_queue_.insert(miso_queue_.end(), levels.begin(), levels.end());
}

void RegisterRecorder::QueueMisoByte(uint8_t byte) {
  for (int bit = 7; bit >= 0; --bit)
    miso_queue_.push_back(((byte >> bit) & 1) != 0);
}

std::vector<uint8_t> RegisterRecorder::WritesTo(int reg) const {
  std::vector<uint8_t> values;
  for (const auto& w : writes_) {
    if (w.reg == reg)
      values.push_back(w.value);
  }
  return values;
}

void RegisterRecorder::Clear() {
  writes_.clear();
  write_count_ = 0;
  status_reads_ = 0;
}

}  // namespace zivivar::testing
