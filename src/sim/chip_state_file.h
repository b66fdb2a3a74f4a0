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
enum class ChipStateResult {
  kOk,
  kNotFound,        // no file at the path
  kReadError,       // exists but cannot be read
  kNotAChipFile,    // wrong magic
  kUnknownVersion,  // a format this build does not know
  kTruncated,       // shorter than its header says
  kDamaged,         // bad checksum, bad fields, extra bytes
  kWriteError,      // the file could not be written
};

inline constexpr uint16_t kChipStateVersion = 1;

// The file's bytes for state, whose vectors must have the sizes of its kind.
std::string EncodeChipState(const ChipState& state);
// Reads a file's bytes into *state; on any result but kOk *state is
// left untouched.
ChipStateResult DecodeChipState(std::string_view bytes, ChipState* state);

// Writes state to path through a temporary file, so that a failed save
// leaves an older file as it was. Returns kOk or
// kWriteError; *error_number (when not null) receives the errno.
ChipStateResult SaveChipState(const std::string& path, const ChipState& state,
                              int* error_number = nullptr);
// Reads path into *state; *state is untouched unless kOk.
ChipStateResult LoadChipState(const std::string& path, ChipState* state);

}  // namespace zivivar::sim
