// The file error message shared by every reader and writer of data files,
// with the system's own table of error texts.
#pragma once

#include <array>
#include <string>

#include "services/services.h"

namespace zivivar {

inline constexpr int kFileErrorTextCount = 49;
inline constexpr int kUnknownFileError = 14;  // "Unbekannter Fehler"

// The texts in the system's own numbering (not that of errno): entry 0 and 48
// are a single blank, the "Unix only" entries have no condition of their own.
extern const std::array<const char*, kFileErrorTextCount> FileErrorTexts;

// The entry of FileErrorTexts that names a Linux errno condition: 0 for 0,
// the entry of the same condition where the table has one, else the nearest
// sensible entry, else kUnknownFileError.
int FileErrorIndex(int error);

// "Fehler beim Öffnen der Datei\n\n<path>\n\n<text for error>". The wording
// speaks of opening for every failure (open, read, write) alike.
std::string FileErrorMessage(const std::string& path, int error);

// Shows FileErrorMessage for the file a failed operation worked on; error is
// the errno that operation reported (0 when it reported none).
void ReportFileError(Services& services, const std::string& path, int error);

}  // namespace zivivar
