// The translations of one language, read from a compiled GNU gettext
// catalogue (.mo). The tool reads it itself rather than through the C
// library, so that the language does not depend on which locales the
// machine has generated.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zivivar {

class MessageCatalogue {
 public:
  // Parses the bytes of a .mo file of either byte order. nullopt when they
  // are not one: a wrong magic number, or a table or string outside the data.
  // The header entry (empty msgid) and untranslated entries are left out; of
  // a plural entry the singular forms are kept.
  static std::optional<MessageCatalogue> FromMo(std::string_view data);

  // The translation of text, or text itself when there is none. The pointer
  // lives as long as the catalogue or text.
  const char* Translate(const char* text) const;
  std::string Translate(const std::string& text) const;

  size_t size() const { return entries_.size(); }
  const std::unordered_map<std::string, std::string>& entries() const { return entries_; }

 private:
  std::unordered_map<std::string, std::string> entries_;
};

}  // namespace zivivar
