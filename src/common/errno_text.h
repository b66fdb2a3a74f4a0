// German wording of the system errors that users meet with files and ports:
// one table from errno to the system's own file-error texts (the data-file
// messages) and to a short phrase (the messages of the settings file, the
// port access and the simulator's state file).
#pragma once

#include <array>
#include <string>

#include "common/message_catalogue.h"

namespace zivivar {

inline constexpr int kFileErrorTextCount = 49;
inline constexpr int kUnknownFileError = 14;  // "Unbekannter Fehler"

// The texts in the system's own numbering (not that of errno): entry 0 and 48
// are a single blank, the "Unix only" entries have no condition of their own.
extern const std::array<const char*, kFileErrorTextCount> FileErrorTexts;

// The entry of FileErrorTexts for an errno condition: 0 for 0, the entry of
// the same condition where the table has one, else the nearest sensible
// entry, else kUnknownFileError.
int FileErrorIndex(int error);

// "Zugriff verweigert (Permission denied)" and the like: a German phrase with
// the system's own text in parentheses; unknown codes give "Fehler N (...)".
// With a catalogue, the German words are translated.
std::string ErrnoText(int error, const MessageCatalogue* catalogue = nullptr);

}  // namespace zivivar
