#include "sim/chip_state.h"

namespace zivivar::sim {

bool IsValidChipKind(const ChipKind& kind) {
  return (kind.spi_mode == 3 || kind.spi_mode == 4) && kind.code_size >= 1 &&
         kind.code_size <= kMaxChipMemory && kind.eeprom_size <= kMaxChipMemory;
}

ChipState ErasedChip(const ChipKind& kind) {
  ChipState state;
  state.kind = kind;
  state.code.assign(kind.code_size, 0xFF);
  state.eeprom.assign(kind.eeprom_size, 0xFF);
  return state;
}

}  // namespace zivivar::sim
