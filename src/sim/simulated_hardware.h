// The simulator as the front ends use it: a simulated adapter on a port
// base address with a simulated chip in its socket, the fault switches from
// a SimFault text, and the chip's state kept in a file between runs.
//
//   SimulatedHardware hw(kind, "/path/chip.zvchip");
//   hw.ApplyFaultText(settings_text, &bad);   // message on kFaultsBadItem
//   hw.LoadState();                            // message unless Ok or NotFound
//   PortLink link(hw.port(), services); ...
//   hw.SaveState();                            // message on ChipStateResult::kWriteError
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hw/port_io.h"
#include "sim/at89s_target.h"
#include "sim/chip_state_file.h"
#include "sim/sim_adapter.h"
#include "sim/sim_faults.h"

namespace zivivar::sim {

class SimulatedHardware {
 public:
  // An erased chip of kind (which must be valid) in the socket of a present
  // adapter at port_base. state_path may be empty: no state file. timing:
  // see chip_models.h (TimingFor); chip().SetTiming changes it later.
  SimulatedHardware(const ChipKind& kind, std::string state_path, uint16_t port_base = 0x378,
                    const ChipTiming& timing = {});
  SimulatedHardware(const SimulatedHardware&) = delete;
  SimulatedHardware& operator=(const SimulatedHardware&) = delete;

  // The port the link is to use; valid as long as this object.
  PortIo& port() { return adapter_; }
  SimAdapter& adapter() { return adapter_; }
  At89sTarget& chip() { return chip_; }
  const std::string& state_path() const { return state_path_; }

  // Parses text (sim_faults.h) and switches its faults on, replacing those
  // of an earlier call; call it before the first register write, since
  // lost-after counts from here. On kFaultsBadItem nothing changes and
  // *bad_item holds the item.
  int ApplyFaultText(std::string_view text, std::string* bad_item = nullptr);
  void ApplyFaults(const SimFaults& faults);
  const SimFaults& faults() const { return faults_; }

  // Puts the chip from the state file into the socket; the file's chip
  // stays as it was saved, whatever kind the constructor was given. On any
  // result but ChipStateResult::kOk the chip in the socket is not changed (a
  // missing file, ChipStateResult::kNotFound, is the normal first run) and the file
  // is not touched. With no state path: ChipStateResult::kNotFound.
  ChipStateResult LoadState();
  // Writes the chip to the state file (atomically). ChipStateResult::kOk also when
  // there is no state path.
  ChipStateResult SaveState(int* error_number = nullptr) const;
  // Swaps in an erased chip of another kind (the selected device changed).
  void InsertErasedChip(const ChipKind& kind);

 private:
  std::string state_path_;
  SimFaults faults_;
  At89sTarget chip_;  // before the adapter, which points to it
  SimAdapter adapter_;
};

}  // namespace zivivar::sim
