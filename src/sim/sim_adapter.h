// The simulated adapter: a PortIo that answers the strobe/busy handshake on
// the data, status and control ports, latches the register bank, shifts in
// the supply word, answers the input nibbles and drives a simulated chip.
//
// The handshake is a strict state machine, so that a link that gets the
// order wrong fails visibly instead of working by luck:
//   idle      --control, strobe 0-->  addressed (status bit 7 goes high)
//   addressed --status read-->        acknowledged
//   acknowledged --control, strobe 1--> latch, idle (status bit 7 goes low)
// A strobe that rises before the acknowledge was read, data that changes
// while a register is addressed, or a control value with bits 4 to 7 set is
// a handshake error: nothing is latched and the error is counted.
//
// The wiring is the adapter's own (namespace wiring below): the input byte
// echoes register 10, and while the chip is powered its MISO replaces the
// echo's bit 4; after a latched write to register 4 the status lines carry
// the input byte's low nibble, after one to register 8 the high nibble.
//
// The serial lines follow timing rules while the chip listens (supply on,
// RST asserted before and after the write): each SCK level is held for at
// least kMinSckWrites register writes, and MOSI changes only while SCK has
// been low that long. Whatever happens with the supply off or in the write
// that asserts or releases RST is free: detection's loop-back patterns move
// SCK and MOSI together with the supply off, and the power-down after a
// lost link drops every line at once, maybe in the middle of a clock. A
// broken rule is counted as an error, and the chip is put out of step
// (SimTarget::OutOfStep), so that the operation fails as well.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "hw/port_io.h"
#include "sim/sim_target.h"

namespace zivivar::sim {

// How the adapter is wired, seen from its side of the cable.
namespace wiring {
// Status line that acknowledges a handshake.
inline constexpr uint8_t kAcknowledge = 0x80;
// Status line of each input-nibble bit (bit 0 first).
inline constexpr uint8_t kNibbleLines[4] = {0x40, 0x08, 0x10, 0x20};
// Register 4: the supply word's shift register.
inline constexpr uint8_t kSupplyShiftClock = 0x01;
inline constexpr uint8_t kSupplyShiftData = 0x02;
inline constexpr uint8_t kSupplyShiftLoad = 0x04;
// Register 8: the supply switch.
inline constexpr uint8_t kSupplySwitch = 0x80;
// Register 10 to the socket, and the input-byte bit that MISO drives.
inline constexpr uint8_t kRst = 0x01;
inline constexpr uint8_t kMosi = 0x08;
inline constexpr uint8_t kSck = 0x20;
inline constexpr uint8_t kMisoInput = 0x10;
}  // namespace wiring

// Register writes each SCK level must last, and SCK must have been low
// before MOSI may change.
inline constexpr uint32_t kMinSckWrites = 2;

class SimAdapter : public PortIo {
 public:
  // A present, idle adapter at the port base address base.
  explicit SimAdapter(uint16_t base = 0x378) : base_(base) {}

  void Out(uint16_t port, uint8_t value) override;
  uint8_t In(uint16_t port) override;

  // The port base address the adapter listens on; other ports read 0xFF.
  void set_base(uint16_t base) { base_ = base; }
  uint16_t base() const { return base_; }

  // The chip in the socket, ticked once per latched register write; it must
  // outlive the adapter or be detached first. Null detaches.
  void AttachTarget(SimTarget* target) { target_ = target; }
  void DetachTarget() { target_ = nullptr; }
  SimTarget* target() const { return target_; }

  // Faults. No adapter: writes are ignored and the status port reads
  // stuck_status forever (the default 0x7F never shows the acknowledge).
  void RemoveAdapter(uint8_t stuck_status = 0x7F);
  // The adapter goes away as RemoveAdapter(0x7F) once writes more register
  // writes have completed (0: at once).
  void LoseAfter(uint64_t writes);
  // Back in place, idle; the registers keep their values.
  void ReconnectAdapter();
  bool present() const { return !absent_; }
  // The input byte read back is the register-10 echo XOR mask (0: correct).
  void set_loopback_error(uint8_t mask) { loopback_xor_ = mask; }

  // Latched register writes so far.
  uint64_t register_writes() const { return register_writes_; }
  // Called with every register write the adapter latches; empty: none.
  void OnLatch(std::function<void(int reg, uint8_t value)> observer) {
    on_latch_ = std::move(observer);
  }
  uint64_t status_reads() const { return status_reads_; }
  // The last value latched into register reg (even, 0 to 14).
  uint8_t reg(int reg) const { return regs_[(reg >> 1) & 7]; }
  // The last supply word loaded (first byte shifted in is the high byte).
  uint16_t supply_word() const { return supply_word_; }
  // What the chip sees now.
  TargetLines lines() const;
  // The input byte as the adapter would answer it now.
  uint8_t InputByte() const;

  // Handshake errors and broken line rules so far, and the last one's text.
  int errors() const { return errors_; }
  const std::string& last_error() const { return last_error_; }

 private:
  enum class State { kIdle, kAddressed, kAcknowledged };

  void Control(uint8_t value);
  void Latch(int reg, uint8_t value);
  // The line rules for a register-10 write from old to value; true when kept.
  bool LinesKept(uint8_t old, uint8_t value);
  void Error(std::string what);

  uint16_t base_;
  SimTarget* target_ = nullptr;

  State state_ = State::kIdle;
  uint8_t data_ = 0;
  uint8_t control_ = 0x01;
  uint8_t status_ = 0;  // bit 7 and the nibble bits
  std::array<uint8_t, 8> regs_{};
  uint16_t shift_ = 0;
  uint16_t supply_word_ = 0;

  bool absent_ = false;
  uint8_t stuck_status_ = 0x7F;
  bool lose_armed_ = false;
  uint64_t lose_at_ = 0;
  uint8_t loopback_xor_ = 0;

  uint32_t sck_writes_ = 0;  // latched writes since SCK last changed

  uint64_t register_writes_ = 0;
  std::function<void(int, uint8_t)> on_latch_;
  uint64_t status_reads_ = 0;
  int errors_ = 0;
  std::string last_error_;
};

}  // namespace zivivar::sim
