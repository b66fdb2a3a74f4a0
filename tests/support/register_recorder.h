// A register-level PortIo for tests and benchmarks: an adapter that answers
// every handshake at once and records what it latched as (register, value)
// pairs. It decodes the handshake as the adapter does: the value on the data
// port, the register number on control bits 1 to 3, latched when the strobe
// (control bit 0) rises. After a latched write to register 4 the status
// nibble holds the low half of the input byte, after one to register 8 the
// high half.
//
// The input byte echoes the last value latched into register 10 (so adapter
// detection passes). While MISO is driven, by a queued level or set_miso,
// bit 0x10 carries the MISO level instead; protocol tests feed MISO bits
// through QueueMiso, or replace the whole answer with SetNibbleHook.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "hw/port_io.h"

namespace zivivar::testing {

struct RegisterWrite {
  int reg;
  uint8_t value;
  bool operator==(const RegisterWrite&) const = default;
};
void PrintTo(const RegisterWrite& write, std::ostream* os);

class RegisterRecorder : public PortIo {
 public:
  explicit RegisterRecorder(uint16_t base = 0x378) : base_(base) {}

  void Out(uint16_t port, uint8_t value) override;
  uint8_t In(uint16_t port) override;

  // MISO levels for the next register-8 latches, one per latch (that is one
  // per input byte read), in order; when they run out, set_miso holds again.
  void QueueMiso(std::initializer_list<bool> levels);
  // The eight bits of byte, most significant first.
  void QueueMisoByte(uint8_t byte);
  size_t queued_miso() const { return miso_queue_.size(); }
  // Drives MISO at level until ReleaseMiso (back to the plain echo).
  void set_miso(bool level) {
    miso_driven_ = true;
    miso_ = level;
  }
  void ReleaseMiso() { miso_driven_ = false; }
  // Replaces the echo: called at every latched write to register 4 or 8
  // with the register, returns the nibble to show (low four bits used).
  void SetNibbleHook(std::function<uint8_t(int reg)> hook) { hook_ = std::move(hook); }

  // With recording off only the counts and last values are kept (benchmarks).
  void set_recording(bool on) { recording_ = on; }

  const std::vector<RegisterWrite>& writes() const { return writes_; }
  // The values latched into one register, in order.
  std::vector<uint8_t> WritesTo(int reg) const;
  uint64_t write_count() const { return write_count_; }
  uint8_t last(int reg) const { return last_[(reg >> 1) & 7]; }
  // Status reads so far (each handshake takes at least two).
  uint64_t status_reads() const { return status_reads_; }
  void Clear();

 private:
  void Latch(int reg, uint8_t value);

  uint16_t base_;
  uint8_t data_ = 0;
  uint8_t control_ = 0x01;  // idle: last register with the strobe set
  uint8_t nibble_bits_ = 0;
  bool miso_driven_ = false;
  bool miso_ = false;
  bool recording_ = true;
  uint64_t write_count_ = 0;
  uint64_t status_reads_ = 0;
  std::array<uint8_t, 8> last_{};
  std::vector<RegisterWrite> writes_;
  std::deque<bool> miso_queue_;
  std::function<uint8_t(int)> hook_;
};

}  // namespace zivivar::testing
