#include "datafiles/file_errors.h"

#include <cerrno>

namespace zivivar {

const std::array<const char*, kFileErrorTextCount> FileErrorTexts = {
    " ",
    "Ungültige Funktionsnummer",
    "Datei oder Verzeichnis existiert nicht",
    "Pfad nicht gefunden",
    "Zu viele Dateien offen",
    "Zugriff verweigert",
    "Ungültiges Dateihandle",
    "Speicherblöcke zerstört",
    "Zu wenig Speicher",
    "Ungültige Speicherblockadresse",
    "Ungültiges Environment",
    "Ungültiges Format",
    "Ungültiger Zugriffscode",
    "Ungültige Daten",
    "Unbekannter Fehler",
    "Ungültige Laufwerksangabe",
    "Versuch das aktuelle Verzeichnis zu löschen",
    "Nicht das gleiche Gerät",
    "Keine Dateien mehr",
    "Ungültiges Argument",
    "Argumentliste zu lang",
    "Fehler beim EXEC-Format",
    "Kreuzverbindung von Geräten",
    "Zu viele Dateien offen",
    "no child process",
    "Unix only",
    "Unix only",
    "Unix only",
    "Kein Platz mehr auf dem Gerät",
    "Ungültiges SEEK-Kommando",
    "Read only Dateisystem",
    "Unix only",
    "Unterbrochene Pipeline",
    "Mathe Argumentfehler",
    "Ergebnis zu groß",
    "Datei existiert schon",
    "Datei ist verriegelt",
    "Operation nicht erlaubt",
    "Unix only",
    "Unterbrochener Funktionsaufruf",
    "Eingabe/Ausgabe Fehler",
    "Gerät oder Adresse existiert nicht",
    "Resource zur Zeit nicht verfügbar",
    "Unix only",
    "Resource ist beschäftigt",
    "Unix only",
    "Unix only",
    "Unix only",
    " ",
};

int FileErrorIndex(int error) {
  switch (error) {
    case 0:
      return 0;
    // Conditions the table names itself.
    case ENOENT:
      return 2;
    case ENOTDIR:
      return 3;
    case EMFILE:
      return 4;
    case EACCES:
      return 5;
    case EBADF:
      return 6;
    case ENOMEM:
      return 8;
    case EFAULT:
      return 9;
    case EINVAL:
      return 19;
    case E2BIG:
      return 20;
    case ENOEXEC:
      return 21;
    case EXDEV:
      return 22;
    case ENFILE:
      return 23;
    case ECHILD:
      return 24;
    case ENOSPC:
      return 28;
    case ESPIPE:
      return 29;
    case EROFS:
      return 30;
    case EPIPE:
      return 32;
    case EDOM:
      return 33;
    case ERANGE:
      return 34;
    case EEXIST:
      return 35;
    case EDEADLK:
      return 36;
    case EPERM:
      return 37;
    case EINTR:
      return 39;
    case EIO:
      return 40;
    case ENXIO:
      return 41;
    case EAGAIN:
      return 42;
    case EBUSY:
      return 44;
    // Linux conditions without an entry of their own, to the nearest one.
    case ENOSYS:
    case EOPNOTSUPP:
      return 1;  // the operation does not exist here
    case ENAMETOOLONG:
    case ELOOP:
      return 3;  // the path cannot be followed
    case EISDIR:
      return 5;  // a directory cannot be opened as a data file
    case EILSEQ:
    case EBADMSG:
      return 13;
    case EFBIG:
    case EDQUOT:
      return 28;  // no more room for the file
    case EOVERFLOW:
      return 34;
    case ENOLCK:
      return 36;
    case ENODEV:
      return 41;
    case ETXTBSY:
      return 44;
    default:
      return kUnknownFileError;
  }
}

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
