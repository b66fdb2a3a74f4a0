#include "common/message_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "services/embedded_catalogues.h"

namespace zivivar {
namespace {

uint32_t Word(const std::string& mo, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i)
    value |= uint32_t{static_cast<uint8_t>(mo[at + i])} << (8 * i);
  return value;
}

// The built-in English catalogue as msgfmt wrote it (little-endian), or with
// the words of its header and string tables swapped, as a big-endian machine
// writes it.
std::string EnglishMo(bool big_endian) {
  std::string mo(EmbeddedCatalogue("en"));
  const size_t tables_end = 28 + 16 * size_t{Word(mo, 8)};
  for (size_t at = 0; big_endian && at < tables_end; at += 4)
    std::reverse(mo.begin() + static_cast<std::ptrdiff_t>(at),
                 mo.begin() + static_cast<std::ptrdiff_t>(at + 4));
  return mo;
}

TEST(MessageCatalogueTest, ReadsBothByteOrdersAndKeepsWhatItHasNoTranslationFor) {
  for (bool big_endian : {false, true}) {
    const auto catalogue = MessageCatalogue::FromMo(EnglishMo(big_endian));
    ASSERT_TRUE(catalogue.has_value()) << big_endian;
    EXPECT_STREQ(catalogue->Translate("Keine Fehler beim prüfen\n"), "No errors on verify.\n");
    EXPECT_EQ(catalogue->Translate(std::string("Zeilenanfang in Zeile %lu\nder Hex-Datei nicht "
                                               "gefunden !")),
              "No record start in line %lu\nof the hex file!");
    EXPECT_STREQ(catalogue->Translate("Warte auf Eingaben"), "Warte auf Eingaben");
    EXPECT_STREQ(catalogue->Translate(""), "");  // the header entry is no translation
  }
}

TEST(MessageCatalogueTest, RefusesWhatIsNoCatalogue) {
  const std::string good = EnglishMo(false);
  std::string bad_magic = good;
  bad_magic[0] = 'X';
  std::string string_beyond = good;
  string_beyond[Word(good, 16) + 4 + 3] = 0x7F;  // the first translation's offset
  for (const std::string& data : {std::string(), good.substr(0, 20), bad_magic,
                                  good.substr(0, good.size() - 2), string_beyond})
    EXPECT_FALSE(MessageCatalogue::FromMo(data).has_value()) << data.size();
}

}  // namespace
}  // namespace zivivar
