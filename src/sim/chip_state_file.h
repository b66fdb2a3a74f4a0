// The simulated chip's state in a file, so that what was programmed in one
// run can be verified or read out in the next.
//
// Layout (little-endian), version 1:
//   0   8  magic "ZVCHIP\r\n" (the CR LF shows a file mangled by text mode)
//   8   2  format version
//   10  1  instruction format (3 or 4)
//   11  1  lock bits (kLockBit1..3)
//   12  4  code size
//   16  4  EEPROM size
//   20     code memory, then EEPROM
//   end 4  CRC-32 (IEEE 802.3) of every byte before it
#pragma once

#include <string>
#include <string_view>

#include "sim/chip_state.h"

namespace zivivar::sim {

// Results of this unit.
inline constexpr int kChipStateOk = 0;
inline constexpr int kChipStateNotFound = 1;        // no file at the path
inline constexpr int kChipStateReadError = 2;       // exists but cannot be read
inline constexpr int kChipStateNotAChipFile = 3;    // wrong magic
inline constexpr int kChipStateUnknownVersion = 4;  // a format this build does not know
inline constexpr int kChipStateTruncated = 5;       // shorter than its header says
inline constexpr int kChipStateDamaged = 6;         // bad checksum, bad fields, extra bytes
inline constexpr int kChipStateWriteError = 7;      // the file could not be written

inline constexpr uint16_t kChipStateVersion = 1;

// The file's bytes for state, whose vectors must have the sizes of its kind.
std::string EncodeChipState(const ChipState& state);
// Reads a file's bytes into *state; on any result but kChipStateOk *state is
// left untouched.
int DecodeChipState(std::string_view bytes, ChipState* state);

// Writes state to path through a temporary file, so that a failed save
// leaves an older file as it was. Returns kChipStateOk or
// kChipStateWriteError; *error_number (when not null) receives the errno.
int SaveChipState(const std::string& path, const ChipState& state, int* error_number = nullptr);
// Reads path into *state; *state is untouched unless kChipStateOk.
int LoadChipState(const std::string& path, ChipState* state);

}  // namespace zivivar::sim
