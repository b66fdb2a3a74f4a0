// Which language the command-line tool speaks, chosen from the environment
// as gettext chooses, but by the tool itself: the locale need not be
// generated on the machine.
#pragma once

#include <functional>

namespace zivivar {

enum class MessageLanguage { kEnglish, kGerman };

// The variable's value, or null when it is not set (std::getenv's contract).
using EnvironmentLookup = std::function<const char*(const char*)>;

// The locale is the first of LC_ALL, LC_MESSAGES and LANG that is set and not
// empty. LANGUAGE, a list such as "de_DE:en", goes first unless the locale is
// "C" or "POSIX": its first entry in German or English decides. Otherwise a
// locale beginning with "de" ("de", "de_AT.UTF-8") means German. English is
// the default.
MessageLanguage ChooseMessageLanguage(const EnvironmentLookup& lookup);

// The catalogue's name: "en" or "de".
const char* MessageLanguageCode(MessageLanguage language);

}  // namespace zivivar
