#include "services/message_language.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

namespace zivivar {
namespace {

// The language of a locale or LANGUAGE entry: "de", "de_DE", "de.UTF-8"...
std::optional<MessageLanguage> LanguageOf(std::string_view name) {
  for (const auto& [code, language] :
       {std::pair{std::string_view("de"), MessageLanguage::kGerman},
        std::pair{std::string_view("en"), MessageLanguage::kEnglish}}) {
    if (name.substr(0, 2) == code && (name.size() == 2 || name.find_first_of("_.@") == 2))
      return language;
  }
  return std::nullopt;
}

std::string_view Value(const EnvironmentLookup& lookup, const char* name) {
  const char* value = lookup(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

}  // namespace

MessageLanguage ChooseMessageLanguage(const EnvironmentLookup& lookup) {
  std::string_view locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = Value(lookup, name);
    if (!locale.empty())
      break;
  }
  const std::string_view list = Value(lookup, "LANGUAGE");
  if (!list.empty() && locale != "C" && locale != "POSIX") {
    size_t start = 0;
    while (start <= list.size()) {
      const size_t end = std::min(list.find(':', start), list.size());
      if (const auto language = LanguageOf(list.substr(start, end - start)))
        return *language;
      start = end + 1;
    }
    return MessageLanguage::kEnglish;
  }
  return LanguageOf(locale).value_or(MessageLanguage::kEnglish);
}

const char* MessageLanguageCode(MessageLanguage language) {
  return language == MessageLanguage::kGerman ? "de" : "en";
}

}  // namespace zivivar
