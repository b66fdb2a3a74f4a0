// A PortIo placed between the port link and the real port that follows the
// handshake as the adapter does, so that the command line can show what the
// adapter took: every register write it latched and every input byte it
// answered. It passes every access on unchanged.
#pragma once

#include <cstdint>
#include <functional>

#include "hw/port_io.h"

namespace zivivar {

class PortTap : public PortIo {
 public:
  // inner must outlive the tap; base is the port base address of the link.
  PortTap(PortIo& inner, uint16_t base) : inner_(inner), base_(base) {}

  void Out(uint16_t port, uint8_t value) override;
  uint8_t In(uint16_t port) override;

  // Called for every register write that the adapter acknowledged and latched.
  void OnRegisterWrite(std::function<void(int reg, uint8_t value)> observer) {
    on_write_ = std::move(observer);
  }
  // Called for every input byte read (a write to register 4 followed by one
  // to register 8), with the value register 10 held when it was read.
  void OnInputByte(std::function<void(uint8_t reg10, uint8_t input)> observer) {
    on_input_ = std::move(observer);
  }

  uint64_t register_writes() const { return register_writes_; }

 private:
  void Latch(int reg, uint8_t value);

  PortIo& inner_;
  uint16_t base_;
  uint8_t data_ = 0;
  uint8_t control_ = 0x01;  // strobe high: idle
  bool acknowledged_ = false;
  int nibble_register_ = -1;  // 4 or 8 right after their latch, until the nibble is seen
  bool have_low_nibble_ = false;
  uint8_t low_nibble_ = 0;
  uint8_t reg10_ = 0;
  uint64_t register_writes_ = 0;
  std::function<void(int, uint8_t)> on_write_;
  std::function<void(uint8_t, uint8_t)> on_input_;
};

}  // namespace zivivar
