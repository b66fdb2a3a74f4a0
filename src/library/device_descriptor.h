// The parameters of the selected device, as the device library gives them.
#pragma once

#include <cstdint>
#include <string>

namespace zivivar {

inline constexpr uint32_t kMaxMemorySize = 0x20000;

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

  bool operator==(const DeviceDescriptor&) const = default;
};

}  // namespace zivivar
