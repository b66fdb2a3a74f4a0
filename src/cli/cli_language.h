// The command-line tool's language: the built-in catalogue of the language
// that the environment asks for.
#pragma once

#include <optional>

#include "common/message_catalogue.h"
#include "services/message_language.h"

namespace zivivar {

// The catalogue of language, or of the language that LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG of this process choose when it is unset. The English
// one translates the system's German messages, the German one the tool's own
// English texts (and the messages that speak of the window in the window's
// words).
MessageCatalogue CliCatalogue(std::optional<MessageLanguage> language);

}  // namespace zivivar
