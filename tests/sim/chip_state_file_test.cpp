#include "sim/chip_state_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zivivar::sim {
namespace {

ChipState SmallChip() {
  ChipState state = ErasedChip(ChipKind{3, 16, 8});
  for (size_t i = 0; i < state.code.size(); ++i)
    state.code[i] = static_cast<uint8_t>(i * 7);
  state.eeprom[3] = 0x5A;
  state.lock_bits = kLockBit1 | kLockBit2;
  return state;
}

TEST(ChipStateFileTest, RoundTripKeepsKindMemoriesAndLockBits) {
  testing::TempDir dir;
  ChipState big = ErasedChip(ChipKind{4, 0x20000, 0});
  big.code[0x1FFFF] = 0x12;
  big.lock_bits = kLockBit1 | kLockBit2 | kLockBit3;
  for (const ChipState& state : {SmallChip(), big}) {
    ASSERT_EQ(SaveChipState(dir.File("chip.bin"), state), ChipStateResult::kOk);
    ChipState loaded;
    ASSERT_EQ(LoadChipState(dir.File("chip.bin"), &loaded), ChipStateResult::kOk);
    EXPECT_EQ(loaded, state);
  }
}

TEST(ChipStateFileTest, EveryTruncationAndFlippedByteIsRefused) {
  const std::string good = EncodeChipState(SmallChip());
  for (size_t at = 0; at < good.size(); ++at) {
    ChipState state;
    EXPECT_NE(DecodeChipState(std::string_view(good).substr(0, at), &state), ChipStateResult::kOk)
        << at;
    std::string bad = good;
    bad[at] = static_cast<char>(bad[at] ^ 0x10);
    EXPECT_NE(DecodeChipState(bad, &state), ChipStateResult::kOk) << at;
    EXPECT_EQ(state, ChipState()) << at;
  }
}

TEST(ChipStateFileTest, HeaderFieldsAreChecked) {
  ChipState state;

  // The encoder writes whatever kind it is given, with a checksum to match.
  ChipState wrapping = SmallChip();  // sizes beyond any chip, their sum beyond 32 bits
  wrapping.kind.code_size = 0xFFFFFFF0u;
  wrapping.kind.eeprom_size = 0x20;
  EXPECT_EQ(DecodeChipState(EncodeChipState(wrapping), &state), ChipStateResult::kDamaged);
  EXPECT_EQ(state, ChipState());
}

}  // namespace
}  // namespace zivivar::sim
