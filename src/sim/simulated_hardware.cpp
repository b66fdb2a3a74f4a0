#include "sim/simulated_hardware.h"

#include <utility>

namespace zivivar::sim {

SimulatedHardware::SimulatedHardware(const ChipKind& kind, std::string state_path,
                                     uint16_t port_base, const ChipTiming& timing)
    : state_path_(std::move(state_path)), chip_(kind, timing), adapter_(port_base) {
  adapter_.AttachTarget(&chip_);
}

int SimulatedHardware::ApplyFaultText(std::string_view text, std::string* bad_item) {
  SimFaults faults;
  const int result = ParseSimFaults(text, &faults, bad_item);
  if (result == kFaultsOk)
    ApplyFaults(faults);
  return result;
}

void SimulatedHardware::ApplyFaults(const SimFaults& faults) {
  faults_ = faults;
  adapter_.ReconnectAdapter();
  adapter_.set_loopback_error(faults.loopback_xor);
  if (faults.no_adapter)
    adapter_.RemoveAdapter();
  else if (faults.adapter_lost)
    adapter_.LoseAfter(faults.lost_after);
  chip_.SetFaults(faults.target);
}

ChipStateResult SimulatedHardware::LoadState() {
  if (state_path_.empty())
    return ChipStateResult::kNotFound;
  ChipState state;
  const ChipStateResult result = LoadChipState(state_path_, &state);
  if (result == ChipStateResult::kOk)
    chip_.InsertChip(std::move(state));
  return result;
}

ChipStateResult SimulatedHardware::SaveState(int* error_number) const {
  if (error_number != nullptr)
    *error_number = 0;
  if (state_path_.empty())
    return ChipStateResult::kOk;
  return SaveChipState(state_path_, chip_.state(), error_number);
}

void SimulatedHardware::InsertErasedChip(const ChipKind& kind) {
  chip_.InsertChip(ErasedChip(kind));
}

}  // namespace zivivar::sim
