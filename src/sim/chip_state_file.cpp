#include "sim/chip_state_file.h"

#include <cerrno>
#include <cstring>

#include "common/atomic_file.h"
#include "common/file_contents.h"

namespace zivivar::sim {

namespace {

constexpr char kMagic[8] = {'Z', 'V', 'C', 'H', 'I', 'P', '\r', '\n'};
constexpr size_t kHeaderSize = 20;
constexpr size_t kCrcSize = 4;
// Nothing valid is longer; a bigger file is refused without reading it whole.
constexpr size_t kMaxFileSize = kHeaderSize + 2 * size_t{kMaxChipMemory} + kCrcSize;

uint32_t Crc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<uint8_t>(c);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint32_t GetLe(std::string_view in, size_t at, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = value << 8 | static_cast<uint8_t>(in[at + i]);
  return value;
}

}  // namespace

std::string EncodeChipState(const ChipState& state) {
  std::string out(kMagic, sizeof kMagic);
  PutLe(out, kChipStateVersion, 2);
  PutLe(out, state.kind.spi_mode, 1);
  PutLe(out, state.lock_bits & kLockBitsMask, 1);
  PutLe(out, state.kind.code_size, 4);
  PutLe(out, state.kind.eeprom_size, 4);
  out.append(reinterpret_cast<const char*>(state.code.data()), state.code.size());
  out.append(reinterpret_cast<const char*>(state.eeprom.data()), state.eeprom.size());
  PutLe(out, Crc32(out), 4);
  return out;
}

ChipStateResult DecodeChipState(std::string_view bytes, ChipState* state) {
  if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
    return ChipStateResult::kNotAChipFile;
  if (bytes.size() < sizeof kMagic + 2)
    return ChipStateResult::kTruncated;
  if (GetLe(bytes, 8, 2) != kChipStateVersion)
    return ChipStateResult::kUnknownVersion;
  if (bytes.size() < kHeaderSize)
    return ChipStateResult::kTruncated;

  ChipKind kind;
  kind.spi_mode = static_cast<uint8_t>(GetLe(bytes, 10, 1));
  const uint32_t lock_bits = GetLe(bytes, 11, 1);
  kind.code_size = GetLe(bytes, 12, 4);
  kind.eeprom_size = GetLe(bytes, 16, 4);
  // Sizes are checked before they are added up, so that no field can make
  // the expected length wrap.
  if (!IsValidChipKind(kind) || (lock_bits & ~kLockBitsMask) != 0)
    return ChipStateResult::kDamaged;
  const size_t expected = kHeaderSize + kind.code_size + kind.eeprom_size + kCrcSize;
  if (bytes.size() < expected)
    return ChipStateResult::kTruncated;
  if (bytes.size() > expected)
    return ChipStateResult::kDamaged;
  const size_t body = expected - kCrcSize;
  if (Crc32(bytes.substr(0, body)) != GetLe(bytes, body, 4))
    return ChipStateResult::kDamaged;

  ChipState loaded;
  loaded.kind = kind;
  loaded.lock_bits = static_cast<uint8_t>(lock_bits);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data()) + kHeaderSize;
  loaded.code.assign(data, data + kind.code_size);
  loaded.eeprom.assign(data + kind.code_size, data + kind.code_size + kind.eeprom_size);
  *state = std::move(loaded);
  return ChipStateResult::kOk;
}

ChipStateResult SaveChipState(const std::string& path, const ChipState& state, int* error_number) {
  const int error = WriteFileAtomically(path, EncodeChipState(state));
  if (error_number != nullptr)
    *error_number = error;
  return error == 0 ? ChipStateResult::kOk : ChipStateResult::kWriteError;
}

ChipStateResult LoadChipState(const std::string& path, ChipState* state) {
  std::string bytes;
  if (const int error = ReadFileContents(path, &bytes, kMaxFileSize); error != 0)
    return error == ENOENT ? ChipStateResult::kNotFound : ChipStateResult::kReadError;
  return DecodeChipState(bytes, state);
}

}  // namespace zivivar::sim
