#include "sim/chip_state_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zivivar::sim {
namespace {

using testing::TempDir;

ChipState SmallChip() {
  ChipState state = ErasedChip(ChipKind{3, 16, 8});
  for (size_t i = 0; i < state.code.size(); ++i)
    state.code[i] = static_cast<uint8_t>(i * 7);
  state.eeprom[3] = 0x5A;
  state.lock_bits = kLockBit1 | kLockBit2;
  return state;
}

// Sets the trailing checksum right again after a field was changed on purpose.
std::string WithFixedChecksum(std::string bytes) {
  const std::string body = bytes.substr(0, bytes.size() - 4);
  uint32_t crc = 0xFFFFFFFFu;
  for (const char c : body) {
    crc ^= static_cast<uint8_t>(c);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  crc = ~crc;
  for (int i = 0; i < 4; ++i)
    bytes[bytes.size() - 4 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
  return bytes;
}

TEST(ChipStateFileTest, RoundTripKeepsKindMemoriesAndLockBits) {
  TempDir dir;
  ChipState big = ErasedChip(ChipKind{4, 0x20000, 0});
  big.code[0x1FFFF] = 0x12;
  big.lock_bits = kLockBit1 | kLockBit2 | kLockBit3;
  for (const ChipState& state : {SmallChip(), big}) {
    const std::string path = dir.File("chip.bin");
    ASSERT_EQ(SaveChipState(path, state), kChipStateOk);
    ChipState loaded;
    ASSERT_EQ(LoadChipState(path, &loaded), kChipStateOk);
    EXPECT_EQ(loaded, state);
  }
}

TEST(ChipStateFileTest, MissingOrUnreadableFiles) {
  TempDir dir;
  ChipState state = SmallChip();
  EXPECT_EQ(LoadChipState(dir.File("none.bin"), &state), kChipStateNotFound);
  EXPECT_EQ(LoadChipState(dir.path(), &state), kChipStateReadError);  // a directory
  EXPECT_EQ(state, SmallChip());

  int error = 0;
  EXPECT_EQ(SaveChipState(dir.File("no/such/dir.bin"), state, &error), kChipStateWriteError);
  EXPECT_NE(error, 0);
}

TEST(ChipStateFileTest, EveryTruncationIsRefused) {
  const std::string good = EncodeChipState(SmallChip());
  for (size_t length = 0; length < good.size(); ++length) {
    ChipState state;
    const int result = DecodeChipState(std::string_view(good).substr(0, length), &state);
    EXPECT_NE(result, kChipStateOk) << length;
    EXPECT_EQ(state, ChipState()) << length;
  }
  ChipState state;
  EXPECT_EQ(DecodeChipState(good.substr(0, good.size() - 1), &state), kChipStateTruncated);
  EXPECT_EQ(DecodeChipState(good.substr(0, 5), &state), kChipStateNotAChipFile);
}

TEST(ChipStateFileTest, EveryFlippedByteIsRefused) {
  const std::string good = EncodeChipState(SmallChip());
  for (size_t at = 0; at < good.size(); ++at) {
    std::string bad = good;
    bad[at] = static_cast<char>(bad[at] ^ 0x10);
    ChipState state;
    EXPECT_NE(DecodeChipState(bad, &state), kChipStateOk) << at;
  }
}

TEST(ChipStateFileTest, HeaderFieldsAreCheckedBehindAGoodChecksum) {
  const std::string good = EncodeChipState(SmallChip());
  ChipState state;

  std::string text_mode = good;  // CR LF of the magic turned into LF
  text_mode.erase(6, 1);
  EXPECT_EQ(DecodeChipState(text_mode, &state), kChipStateNotAChipFile);

  std::string newer = good;
  newer[8] = 2;
  EXPECT_EQ(DecodeChipState(WithFixedChecksum(newer), &state), kChipStateUnknownVersion);

  const std::pair<size_t, char> bad_fields[] = {
      {10, 5},     // no such instruction format
      {11, 0x08},  // a lock bit the chip does not have
      {15, -1},    // a code size that would wrap the expected length
  };
  for (const auto& [at, value] : bad_fields) {
    std::string bad = good;
    bad[at] = value;
    EXPECT_EQ(DecodeChipState(WithFixedChecksum(bad), &state), kChipStateDamaged) << at;
  }

  EXPECT_EQ(DecodeChipState(good + '\0', &state), kChipStateDamaged);
  EXPECT_EQ(state, ChipState());
}

}  // namespace
}  // namespace zivivar::sim
