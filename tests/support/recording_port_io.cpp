#include "support/recording_port_io.h"

#include <algorithm>
#include <cstdio>

namespace zivivar::testing {

void PrintTo(const PortAccess& access, std::ostream* os) {
  char text[32];
  std::snprintf(text, sizeof text, "%s(0x%03X, 0x%02X)", access.is_out ? "Out" : "In", access.port,
                access.value);
  *os << text;
}

void RecordingPortIo::Out(uint16_t port, uint8_t value) {
  accesses.push_back(OutAccess(port, value));
  if (port == base_ + 2)
    control_ = value;
  if (inner_ != nullptr)
    inner_->Out(port, value);
}

uint8_t RecordingPortIo::In(uint16_t port) {
  uint8_t value;
  if (!queued_.empty()) {
    value = queued_.front();
    queued_.pop_front();
  } else if (handler_) {
    value = handler_(port);
  } else if (inner_ != nullptr) {
    value = inner_->In(port);
  } else {
    value = HandshakeAnswer(port);
  }
  accesses.push_back(InAccess(port, value));
  return value;
}

void RecordingPortIo::QueueReads(std::initializer_list<uint8_t> values) {
  queued_.insert(queued_.end(), values.begin(), values.end());
}

void RecordingPortIo::QueueRead(uint8_t value, size_t times) {
  queued_.insert(queued_.end(), times, value);
}

uint8_t RecordingPortIo::HandshakeAnswer(uint16_t port) const {
  if (port != base_ + 1)
    return 0xFF;
  const uint8_t busy = (control_ & 0x01) == 0 ? 0x80 : 0x00;
  return static_cast<uint8_t>(busy | (status_bits_ & 0x7F));
}

size_t RecordingPortIo::CountOuts() const {
  return static_cast<size_t>(std::count_if(accesses.begin(), accesses.end(),
                                           [](const PortAccess& a) { return a.is_out; }));
}

size_t RecordingPortIo::CountIns() const {
  return accesses.size() - CountOuts();
}

std::vector<uint8_t> RecordingPortIo::OutsTo(uint16_t port) const {
  std::vector<uint8_t> values;
  for (const auto& a : accesses) {
    if (a.is_out && a.port == port)
      values.push_back(a.value);
  }
  return values;
}

}  // namespace zivivar::testing
