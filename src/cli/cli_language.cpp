#include "cli/cli_language.h"

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

}  // namespace zivivar
