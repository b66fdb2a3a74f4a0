#include "cli/cli_language.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "services/embedded_catalogues.h"

namespace zivivar {

MessageCatalogue CliCatalogue(std::optional<MessageLanguage> language) {
  if (!language)
    language = ChooseMessageLanguage([](const char* name) { return std::getenv(name); });
  // The catalogues are built into the program and checked by the tests; one
  // that would not parse leaves the texts as the code words them.
  return MessageCatalogue::FromMo(EmbeddedCatalogue(MessageLanguageCode(*language)))
      .value_or(MessageCatalogue());
}

const CliText& UntranslatedText() {
  static const MessageCatalogue none;
  static const CliText text(none);
  return text;
}

std::string Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int size = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

}  // namespace zivivar
