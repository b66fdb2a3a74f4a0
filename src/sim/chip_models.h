// The kinds of chip the simulator knows, with the times of their
// self-timed operations, their clock limit and their supply range, and how
// the simulated chip's timing is formed from one of them and the simulated
// adapter's own clock.
//
// The chip measures time as its register writes since an operation began
// times SimClock::write_us, the simulated adapter's duration of one
// register write; that is independent of TimeBaseKorr, which is only the
// system's belief about that duration.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "sim/at89s_target.h"

namespace zivivar::sim {

struct ChipModel {
  const char* name;  // the part, as the library names it
  // A byte write takes byte_write_us plus byte_write_clocks crystal
  // periods, a lock-bit write lock_write_us plus as many periods.
  uint32_t byte_write_us;
  uint32_t byte_write_clocks;
  uint32_t erase_us;  // a chip erase
  uint32_t lock_write_us;
  // Each SCK level must last at least this many crystal periods.
  uint32_t sck_min_clocks;
  uint16_t min_supply_mv;
  uint16_t max_supply_mv;
  bool page_read;  // mode 4: answers the page-mode read 30 H
  // Figures not taken from the part's data sheet but chosen on the safe side.
  bool byte_write_assumed;
  bool erase_assumed;
  bool lock_write_assumed;
  bool sck_assumed;
  bool supply_assumed;
  // Mode 4: the answers to the read-signature instruction, where the data
  // sheet gives them; none: the chip takes 28 for no instruction.
  std::optional<ChipSignature> signature = std::nullopt;
};

// The simulated adapter's clock and the settings that replace table figures.
struct SimClock {
  uint32_t write_us = 85;            // one register write of the simulated adapter
  uint32_t crystal_hz = 12'000'000;  // the crystal on the chip's XTAL pins
  uint32_t byte_write_us = 0;        // 0: the table's figure
  uint32_t erase_us = 0;             // 0: the table's figure
  uint32_t lock_write_us = 0;        // 0: the table's figure
};

// Every kind, in the library's order.
std::span<const ChipModel> ChipModels();

// The kind of the device: the longest table name that starts the device
// name (without regard to case), so that "AT89S8252-24PC" is an AT89S8252.
// A name the table does not know falls back to the memory layout: mode 4 up
// to 4 KB an AT89S51, up to 8 KB an AT89S52, above an AT89S8253; mode 3
// with an EEPROM an AT89S8252, without one an AT89S53.
const ChipModel& ChipModelFor(std::string_view device_name, const ChipKind& kind);

// The chip's timing for model, with clock's register write, crystal and
// replaced figures.
ChipTiming TimingFor(const ChipModel& model, const SimClock& clock);

}  // namespace zivivar::sim
