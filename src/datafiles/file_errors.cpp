#include "datafiles/file_errors.h"

#include "common/errno_text.h"

namespace zivivar {

void ReportFileError(Services& services, const std::string& path, int error) {
  services.ShowMessage(
      services.Translate("Fehler beim Öffnen der Datei\n\n") + path + "\n\n" +
      services.Translate(FileErrorTexts[static_cast<size_t>(FileErrorIndex(error))]));
}

}  // namespace zivivar
