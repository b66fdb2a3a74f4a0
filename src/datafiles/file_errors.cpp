#include "datafiles/file_errors.h"

#include "common/errno_text.h"

namespace zivivar {

std::string FileErrorMessage(const std::string& path, int error, const Services* services) {
  const auto translate = [services](const char* text) {
    return services == nullptr ? text : services->Translate(text);
  };
  std::string text = translate("Fehler beim Öffnen der Datei\n\n");
  text += path;
  text += "\n\n";
  text += translate(FileErrorTexts[static_cast<size_t>(FileErrorIndex(error))]);
  return text;
}

void ReportFileError(Services& services, const std::string& path, int error) {
  services.ShowMessage(FileErrorMessage(path, error, &services));
}

}  // namespace zivivar
