#include "datafiles/file_errors.h"

#include "common/errno_text.h"

namespace zivivar {

std::string FileErrorMessage(const std::string& path, int error) {
  std::string text = "Fehler beim Öffnen der Datei\n\n";
  text += path;
  text += "\n\n";
  text += FileErrorTexts[static_cast<size_t>(FileErrorIndex(error))];
  return text;
}

void ReportFileError(Services& services, const std::string& path, int error) {
  services.ShowMessage(FileErrorMessage(path, error));
}

}  // namespace zivivar
