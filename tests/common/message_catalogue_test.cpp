#include "common/message_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zivivar {
namespace {

// A .mo file as msgfmt lays it out: header, the two tables, then the strings.
std::string MoFile(const std::vector<std::pair<std::string, std::string>>& entries,
                   bool big_endian) {
  std::string out;
  auto word = [&](uint32_t value) {
    for (int i = 0; i < 4; ++i) {
      const int shift = big_endian ? 24 - 8 * i : 8 * i;
      out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
  };
  const auto count = static_cast<uint32_t>(entries.size());
  word(0x950412DE);
  word(0);
  word(count);
  word(28);
  word(28 + 8 * count);
  word(0);
  word(0);
  uint32_t offset = 28 + 16 * count;
  std::string strings;
  for (int table = 0; table < 2; ++table) {
    for (const auto& entry : entries) {
      const std::string& text = table == 0 ? entry.first : entry.second;
      word(static_cast<uint32_t>(text.size()));
      word(offset);
      strings += text + '\0';
      offset += static_cast<uint32_t>(text.size() + 1);
    }
  }
  return out + strings;
}

TEST(MessageCatalogueTest, ReadsBothByteOrdersAndFallsBackToTheText) {
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"", "Content-Type: text/plain; charset=UTF-8\n"},
      {"Keine Fehler beim prüfen\n", "No errors on verify\n"},
      {"Datei %s", "File %s"},
      {std::string("Geräte", 6) + '\0' + "Gerät", std::string("devices\0device", 14)},
  };
  for (bool big_endian : {false, true}) {
    const auto catalogue = MessageCatalogue::FromMo(MoFile(entries, big_endian));
    ASSERT_TRUE(catalogue.has_value()) << big_endian;
    EXPECT_EQ(catalogue->size(), 3u);
    EXPECT_STREQ(catalogue->Translate("Keine Fehler beim prüfen\n"), "No errors on verify\n");
    EXPECT_EQ(catalogue->Translate(std::string("Datei %s")), "File %s");
    EXPECT_STREQ(catalogue->Translate(std::string("Geräte", 6).c_str()), "devices");
    EXPECT_STREQ(catalogue->Translate("Warte auf Eingaben"), "Warte auf Eingaben");
    EXPECT_STREQ(catalogue->Translate(""), "");
  }
}

TEST(MessageCatalogueTest, RefusesWhatIsNoCatalogue) {
  const std::string good = MoFile({{"a", "b"}}, false);
  std::string bad_magic = good;
  bad_magic[0] = 'X';
  std::string string_beyond = good;
  string_beyond[28 + 8 + 4] = 0x7F;  // the translation table's first offset
  const std::string cases[] = {"", good.substr(0, 20), bad_magic, good.substr(0, good.size() - 2),
                               string_beyond};
  for (const auto& data : cases)
    EXPECT_FALSE(MessageCatalogue::FromMo(data).has_value()) << data.size();
  EXPECT_TRUE(MessageCatalogue::FromMo(good).has_value());
}

}  // namespace
}  // namespace zivivar
