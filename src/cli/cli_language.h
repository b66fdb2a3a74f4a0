// The command-line tool's language: the built-in catalogue of the language
// that the environment asks for.
#pragma once

#include <optional>
#include <string>

#include "common/message_catalogue.h"
#include "services/message_language.h"

namespace zivivar {

// The catalogue of language, or of the language that LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG of this process choose when it is unset. The English
// one translates the system's German messages, the German one the tool's own
// English texts (and the messages that speak of the window in the window's
// words).
MessageCatalogue CliCatalogue(std::optional<MessageLanguage> language);

// The tool's own texts, written in English in the code: _("text") gives the
// text in the run's language (gettext's convention). The catalogue must
// outlive it.
class CliText {
 public:
  explicit CliText(const MessageCatalogue& catalogue) : catalogue_(catalogue) {}
  // format_arg: a translated printf format is checked against the English one.
  __attribute__((format_arg(2))) const char* operator()(const char* text) const {
    return catalogue_.Translate(text);
  }
  std::string operator()(const std::string& text) const { return catalogue_.Translate(text); }

 private:
  const MessageCatalogue& catalogue_;
};

// The texts as the code words them (English): for callers outside a run.
const CliText& UntranslatedText();

// printf into a string, for the translated formats: a translation may put
// the values in another order of words, so texts with values are formats,
// not pieces joined.
__attribute__((format(printf, 1, 2))) std::string Printf(const char* format, ...);

}  // namespace zivivar
