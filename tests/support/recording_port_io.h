// A PortIo for tests that records every port access in order, so that a test
// can compare the exact sequence of writes and reads with one worked out by
// hand. Reads are answered, in this order of precedence, from a queue of
// scripted values, by a callback, by a forwarded PortIo, or by the handshake
// rule of an ever-ready adapter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "hw/port_io.h"

namespace zivivar::testing {

struct PortAccess {
  bool is_out;
  uint16_t port;
  uint8_t value;  // the value written, or the value the read returned
  bool operator==(const PortAccess&) const = default;
};
inline PortAccess OutAccess(uint16_t port, uint8_t value) {
  return {true, port, value};
}
inline PortAccess InAccess(uint16_t port, uint8_t value) {
  return {false, port, value};
}
void PrintTo(const PortAccess& access, std::ostream* os);

class RecordingPortIo : public PortIo {
 public:
  // base is the data port; base + 1 is read as status, base + 2 is control.
  explicit RecordingPortIo(uint16_t base = 0x378) : base_(base) {}

  void Out(uint16_t port, uint8_t value) override;
  uint8_t In(uint16_t port) override;

  // Answers for the next reads, of any port, before anything else answers.
  void QueueReads(std::initializer_list<uint8_t> values);
  void QueueRead(uint8_t value, size_t times = 1);
  // Answers the reads that the queue does not; null removes it.
  void SetReadHandler(std::function<uint8_t(uint16_t port)> handler) {
    handler_ = std::move(handler);
  }
  // Passes every write on to inner and lets it answer the reads that neither
  // the queue nor the handler answers; inner must outlive this object.
  void ForwardTo(PortIo* inner) { inner_ = inner; }
  // Status bits other than bit 7 that the handshake rule adds to its answers.
  void set_status_bits(uint8_t bits) { status_bits_ = bits; }

  // The handshake rule: a status read shows bit 7 high while the strobe bit
  // of the last control value is clear, low while it is set; other ports
  // read 0xFF, as an open bus does.
  uint8_t HandshakeAnswer(uint16_t port) const;

  size_t CountOuts() const;
  size_t CountIns() const;
  // The values written to one port, in order.
  std::vector<uint8_t> OutsTo(uint16_t port) const;
  void Clear() { accesses.clear(); }

  std::vector<PortAccess> accesses;

 private:
  uint16_t base_;
  uint8_t control_ = 0x01;  // an idle adapter: last register with the strobe set
  uint8_t status_bits_ = 0;
  std::deque<uint8_t> queued_;
  std::function<uint8_t(uint16_t)> handler_;
  PortIo* inner_ = nullptr;
};

}  // namespace zivivar::testing
