#include "common/message_catalogue.h"

#include <cstdint>

namespace zivivar {
namespace {

constexpr uint32_t kMoMagic = 0x950412DE;
constexpr uint32_t kMoMagicSwapped = 0xDE120495;

// Reads the 32-bit words of the file in its byte order; every read is
// checked against the data's end.
class MoWords {
 public:
  MoWords(std::string_view data, bool big_endian) : data_(data), big_endian_(big_endian) {}

  std::optional<uint32_t> At(uint64_t offset) const {
    if (offset + 4 > data_.size())
      return std::nullopt;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const auto byte = static_cast<uint8_t>(data_[offset + static_cast<uint64_t>(i)]);
      value = big_endian_ ? (value << 8) | byte : value | (uint32_t{byte} << (8 * i));
    }
    return value;
  }

  // String number index of the table at table_offset: its length and offset.
  std::optional<std::string_view> String(uint32_t table_offset, uint32_t index) const {
    const uint64_t entry = uint64_t{table_offset} + uint64_t{index} * 8;
    const auto length = At(entry);
    const auto offset = At(entry + 4);
    if (!length || !offset || uint64_t{*offset} + *length > data_.size())
      return std::nullopt;
    return data_.substr(*offset, *length);
  }

 private:
  std::string_view data_;
  bool big_endian_;
};

}  // namespace

std::optional<MessageCatalogue> MessageCatalogue::FromMo(std::string_view data) {
  const auto magic = MoWords(data, false).At(0);
  if (!magic || (*magic != kMoMagic && *magic != kMoMagicSwapped))
    return std::nullopt;
  const MoWords words(data, *magic == kMoMagicSwapped);
  const auto count = words.At(8);
  const auto originals = words.At(12);
  const auto translations = words.At(16);
  if (!count || !originals || !translations)
    return std::nullopt;

  MessageCatalogue catalogue;
  for (uint32_t i = 0; i < *count; ++i) {
    const auto original = words.String(*originals, i);
    const auto translation = words.String(*translations, i);
    if (!original || !translation)
      return std::nullopt;
    // Plural entries hold their forms separated by NUL; the first is the singular.
    const std::string_view msgid = original->substr(0, original->find('\0'));
    const std::string_view msgstr = translation->substr(0, translation->find('\0'));
    if (!msgid.empty() && !msgstr.empty())
      catalogue.entries_.emplace(msgid, msgstr);
  }
  return catalogue;
}

const char* MessageCatalogue::Translate(const char* text) const {
  const auto found = entries_.find(text);
  return found == entries_.end() ? text : found->second.c_str();
}

std::string MessageCatalogue::Translate(const std::string& text) const {
  const auto found = entries_.find(text);
  return found == entries_.end() ? text : found->second;
}

}  // namespace zivivar
