// Drives a simulated chip's pins directly, one tick per call as the adapter
// would, with the bit timing of the system's own serial routines: a bit sent
// is MOSI set (1 tick), SCK high (2 ticks), SCK low (2 ticks); a bit read
// costs 2 more ticks for the input byte, taken at the chosen point. The
// instructions are built here from the bytes up, so that the chip's decoding
// is checked rather than restated.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "sim/at89s_target.h"

namespace zivivar::testing {

enum class Sample { kChipsRule, kWhileHigh };

class IspPins {
 public:
  explicit IspPins(sim::At89sTarget& chip) : chip_(chip) {}

  void Tick(uint32_t count = 1) {
    for (uint32_t i = 0; i < count; ++i)
      chip_.OnRegisterWrite(lines);
  }
  void Supply(bool on, uint8_t code = 100) {
    lines.powered = on;
    lines.supply_code = on ? code : 0;
    Tick();
  }
  void Rst(bool asserted) {
    lines.rst = asserted;
    Tick();
  }
  void PowerUp(uint32_t settle) {
    Supply(true);
    Rst(true);
    Tick(settle);
  }
  void StartEnabled() {
    PowerUp(static_cast<uint32_t>(chip_.timing().Ticks(chip_.timing().reset_ns)));
    Enable();
  }

  void Send(std::initializer_list<uint8_t> bytes) {
    for (const uint8_t byte : bytes) {
      for (int bit = 7; bit >= 0; --bit) {
        lines.mosi = ((byte >> bit) & 1) != 0;
        Tick();
        Clock(true);
        Clock(false);
      }
    }
  }
  // Mode 3 takes a bit while SCK is low, before the rising edge; mode 4 while it is high.
  uint8_t Receive(Sample sample = Sample::kChipsRule) {
    const bool before_rise = sample == Sample::kChipsRule && !mode4();
    uint8_t byte = 0;
    for (int bit = 7; bit >= 0; --bit) {
      bool miso = before_rise && Miso();
      Clock(true);
      miso = miso || (!before_rise && Miso());
      Clock(false);
      byte = static_cast<uint8_t>(byte | (miso ? 1 << bit : 0));
    }
    return byte;
  }

  // Instructions; the mode-4 enable answer (0 in mode 3).
  uint8_t Enable() {
    Send({0xAC, 0x53, 0x00});
    return mode4() ? Receive() : 0;
  }
  uint8_t ReadCode(uint32_t address, Sample sample = Sample::kChipsRule) {
    mode4() ? Send({0x20, High(address), Low(address)}) : Send({First(address, 1), Low(address)});
    return Receive(sample);
  }
  void WriteCode(uint32_t address, uint8_t data) {
    mode4() ? Send({0x40, High(address), Low(address), data})
            : Send({First(address, 2), Low(address), data});
  }
  uint8_t ReadData(uint32_t address) {
    Send({First(address, 5), Low(address)});
    return Receive();
  }
  void Erase() { mode4() ? Send({0xAC, 0x80, 0x00, 0x00}) : Send({0xAC, 0x04, 0x00}); }
  // n timer-bit pulses of a device wait: two ticks each.
  void Pulses(uint32_t n) { Tick(2 * n); }
  // A mode-3 write and its read-back polling as the system does it: the
  // number of polls made and the last byte read.
  std::pair<int, uint8_t> WritePolled(uint32_t address, uint8_t data, int max_polls,
                                      bool eeprom = false) {
    eeprom ? Send({First(address, 6), Low(address), data}) : WriteCode(address, data);
    for (int poll = 1;; ++poll) {
      Pulses(1);
      const uint8_t read = eeprom ? ReadData(address) : ReadCode(address);
      if (read == data || poll >= max_polls)
        return {poll, read};
    }
  }

  sim::TargetLines lines;

 private:
  bool mode4() const { return chip_.kind().spi_mode == 4; }
  void Clock(bool high) {
    lines.sck = high;
    Tick(2);
  }
  // The input byte: two register writes with unchanged lines, then MISO.
  bool Miso() {
    Tick(2);
    return chip_.Miso();
  }
  static uint8_t High(uint32_t address) { return static_cast<uint8_t>(address >> 8); }
  static uint8_t Low(uint32_t address) { return static_cast<uint8_t>(address); }
  // Mode 3: address bits 8 to 12 in bits 3 to 7, bit 13 in bit 2, the operation below.
  static uint8_t First(uint32_t address, uint8_t code) {
    const uint8_t h = High(address);
    return static_cast<uint8_t>((h & 0x1F) << 3 | (h & 0x20 ? 0x04 : 0) | code);
  }

  sim::At89sTarget& chip_;
};

}  // namespace zivivar::testing
