// The file error message shared by every reader and writer of data files,
// in the system's own texts (common/errno_text.h).
#pragma once

#include <string>

#include "services/services.h"

namespace zivivar {

// "Fehler beim Öffnen der Datei\n\n<path>\n\n<text for error>". The wording
// speaks of opening for every failure (open, read, write) alike. Translated
// by the services' catalogue when services are given.
std::string FileErrorMessage(const std::string& path, int error,
                             const Services* services = nullptr);

// Shows FileErrorMessage for the file a failed operation worked on; error is
// the errno that operation reported (0 when it reported none).
void ReportFileError(Services& services, const std::string& path, int error);

}  // namespace zivivar
