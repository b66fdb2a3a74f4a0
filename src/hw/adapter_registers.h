// The adapter's register map: the bits of its write registers, the way its
// four-bit answers appear on the status port, and the clock of the counted
// delays (every register write is taken to last TimeBaseKorr microseconds).
#pragma once

#include <cstdint>

namespace zivivar {

// The write registers, addressed by even numbers 0 to 14.
inline constexpr int kZeroRegister0 = 0;  // written 0 in every state
inline constexpr int kZeroRegister2 = 2;  // written 0 in every state
// The supply word's shift input and the timer bit; a write also selects the
// low nibble of the input byte.
inline constexpr int kSupplyShiftRegister = 4;
inline constexpr int kModeRegister = 6;  // 2 while the device is in programming mode
// The supply switch; a write also selects the high nibble of the input byte.
inline constexpr int kSupplySwitchRegister = 8;
inline constexpr int kLinesRegister = 10;     // the serial programming lines
inline constexpr int kDetectRegister12 = 12;  // written only during adapter detection
inline constexpr int kDetectRegister14 = 14;

// Bits of register 4.
inline constexpr uint8_t kReg4SupplyClock = 0x01;
inline constexpr uint8_t kReg4SupplyData = 0x02;
inline constexpr uint8_t kReg4SupplyLoad = 0x04;
inline constexpr uint8_t kReg4Timer = 0x20;
// Bit of register 8.
inline constexpr uint8_t kReg8SupplyOn = 0x80;
// Bits of register 10, the serial programming lines.
inline constexpr uint8_t kReg10Rst = 0x01;
inline constexpr uint8_t kReg10Mosi = 0x08;
inline constexpr uint8_t kReg10Miso = 0x10;  // in the input byte only
inline constexpr uint8_t kReg10Sck = 0x20;

// The adapter answers four bits per register write on status bits 6, 3, 4
// and 5 (nibble bits 0 to 3, in this order).
inline constexpr uint8_t kStatusBusy = 0x80;
inline constexpr uint8_t kStatusNibbleMask = 0x78;
inline constexpr uint8_t NibbleFromStatus(uint8_t status) {
  return static_cast<uint8_t>(((status >> 6) & 0x01) | ((status >> 2) & 0x0E));
}
inline constexpr uint8_t StatusFromNibble(uint8_t nibble) {
  return static_cast<uint8_t>(((nibble & 0x01) << 6) | ((nibble & 0x0E) << 2));
}

// Register writes that last us microseconds when one write is taken to last
// timebase_korr microseconds; at least 1 (timebase_korr 0 is taken as 1).
inline uint32_t UsToCycles(uint32_t us, uint32_t timebase_korr) {
  const uint32_t cycles = us / (timebase_korr == 0 ? 1 : timebase_korr);
  return cycles == 0 ? 1 : cycles;
}

}  // namespace zivivar
