// The fault switches of the simulator as one line of text, as the settings
// key SimFault (section "Hardware") and the command-line tool pass them.
//
// Items are separated by commas; blanks around an item and empty items are
// ignored, keywords are not case-sensitive, and numbers are written as C
// literals (decimal, 0x hexadecimal, leading 0 octal) that fill the whole
// field. The empty text means no faults.
//
//   noadapter            no adapter on the port: the handshake never answers
//   lost-after=N         the adapter goes away after N more register writes
//   loopback[=MASK]      the input byte comes back XOR MASK (default 0xFF,
//                        which also inverts MISO); MASK 1 to 0xFF
//   nochip               empty socket: MISO stays high, nothing is stored
//   never-finish         writes, lock-bit writes and erases never complete
//   nolock               lock-bit writes are taken but change nothing
//   stuck=[ee:]ADDR:MASK[:LEVEL]        cell bits stuck at LEVEL (default 0)
//   stuck-read=[ee:]ADDR:MASK[:LEVEL]   reads show LEVEL in the MASK bits
//   stuck-write=[ee:]ADDR:MASK[:LEVEL]  writes store LEVEL in the MASK bits
//     ADDR is a code memory address, or an EEPROM address after "ee:";
//     MASK 1 to 0xFF, LEVEL 0 to 0xFF (only its MASK bits count).
//
// Example: "stuck=0x100:0x01, never-finish".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sim/at89s_target.h"

namespace zivivar::sim {

inline constexpr int kFaultsOk = 0;
inline constexpr int kFaultsBadItem = 1;

struct SimFaults {
  bool no_adapter = false;
  bool adapter_lost = false;  // with lost_after
  uint64_t lost_after = 0;    // register writes
  uint8_t loopback_xor = 0;   // 0: a correct loop-back
  TargetFaults target;
  bool operator==(const SimFaults&) const = default;
};

// Parses text into *faults. On kFaultsBadItem *faults is untouched and
// *bad_item (when not null) holds the offending item as written.
int ParseSimFaults(std::string_view text, SimFaults* faults, std::string* bad_item = nullptr);

}  // namespace zivivar::sim
