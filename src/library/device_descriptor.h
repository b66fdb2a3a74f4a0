// The parameters of the selected device, as the device library gives them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zivivar {

inline constexpr uint32_t kMaxMemorySize = 0x20000;

// The three signature bytes a chip answers at 000H, 100H and 200H.
using DeviceSignature = std::array<uint8_t, 3>;

struct DeviceDescriptor {
  std::string device_name;           // shown in the device list and in messages
  uint8_t pin_count = 0;             // 40 for every valid record
  uint32_t programming_voltage = 0;  // millivolts, 1 to 12750
  uint8_t supply_code = 0;           // programming voltage / 50, shifted into the adapter
  uint32_t write_wait = 0;           // ClockPulses after a byte write
  uint32_t erase_wait = 0;           // ClockPulses after a chip erase; 0: no chip erase
  uint32_t code_size = 0;            // bytes, 1 to 0x20000
  uint32_t eeprom_size = 0;          // bytes, 0 (none) to 0x20000
  uint8_t lock_bit_count = 0;        // 0 to 3
  uint8_t spi_mode = 0;              // 3 or 4: the instruction format
  bool page_read = false;            // mode 4: reads a whole page with 30 H (token PAGE)
  // Mode 4 only: what the chip answers to the read-signature instruction
  // (a token of six hex digits, e.g. 1E5206); none: the chip is not checked.
  std::optional<DeviceSignature> signature = std::nullopt;

  bool operator==(const DeviceDescriptor&) const = default;
};

}  // namespace zivivar
