// The file error message shared by every reader and writer of data files,
// in the system's own texts (common/errno_text.h).
#pragma once

#include <string>

#include "services/services.h"

namespace zivivar {

// Shows "Fehler beim Öffnen der Datei\n\n<path>\n\n<text for error>" for
// the file a failed operation worked on; error is the errno that operation
// reported (0 when it reported none). The wording speaks of opening for
// every failure (open, read, write) alike. The texts are translated by the
// services' catalogue.
void ReportFileError(Services& services, const std::string& path, int error);

}  // namespace zivivar
