#include "common/errno_text.h"

#include <cerrno>
#include <cstring>

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

namespace {

// One row per errno condition that users meet with files and ports: the
// entry of FileErrorTexts for it (the same condition where that table has
// one, else the nearest sensible entry), and the short phrase of ErrnoText.
struct ErrnoRow {
  int error;
  int file_error_index;
  const char* phrase;  // null: ErrnoText says "Fehler N"
};

constexpr ErrnoRow kErrnoRows[] = {
    {ENOENT, 2, "nicht vorhanden"},
    {ENOTDIR, 3, "Verzeichnis nicht vorhanden"},
    {EMFILE, 4, nullptr},
    {EACCES, 5, "Zugriff verweigert"},
    {EBADF, 6, nullptr},
    {ENOMEM, 8, nullptr},
    {EFAULT, 9, nullptr},
    {EINVAL, 19, nullptr},
    {E2BIG, 20, nullptr},
    {ENOEXEC, 21, nullptr},
    {EXDEV, 22, nullptr},
    {ENFILE, 23, nullptr},
    {ECHILD, 24, nullptr},
    {ENOSPC, 28, "Datenträger ist voll"},
    {ESPIPE, 29, nullptr},
    {EROFS, 30, "Dateisystem ist schreibgeschützt"},
    {EPIPE, 32, nullptr},
    {EDOM, 33, nullptr},
    {ERANGE, 34, nullptr},
    {EEXIST, 35, nullptr},
    {EDEADLK, 36, nullptr},
    {EPERM, 37, "Zugriff verweigert"},
    {EINTR, 39, nullptr},
    {EIO, 40, "Ein-/Ausgabefehler"},
    {ENXIO, 41, "Gerät nicht vorhanden"},
    {EAGAIN, 42, nullptr},
    {EBUSY, 44, "wird schon benutzt"},
    {ENOSYS, 1, "auf diesem System nicht möglich"},
    {EOPNOTSUPP, 1, nullptr},
    {ENAMETOOLONG, 3, nullptr},
    {ELOOP, 3, nullptr},
    {EISDIR, 5, "ist ein Verzeichnis"},
    {EILSEQ, 13, nullptr},
    {EBADMSG, 13, nullptr},
    {EFBIG, 28, nullptr},
    {EDQUOT, 28, "Speicherplatz-Kontingent erschöpft"},
    {EOVERFLOW, 34, nullptr},
    {ENOLCK, 36, nullptr},
    {ENODEV, 41, "Gerät nicht vorhanden"},
    {ETXTBSY, 44, nullptr},
    {ENOTTY, kUnknownFileError, "ist keine parallele Schnittstelle"},
};

const ErrnoRow* FindRow(int error) {
  for (const ErrnoRow& row : kErrnoRows) {
    if (row.error == error)
      return &row;
  }
  return nullptr;
}

}  // namespace

int FileErrorIndex(int error) {
  if (error == 0)
    return 0;
  const ErrnoRow* row = FindRow(error);
  return row == nullptr ? kUnknownFileError : row->file_error_index;
}

std::string ErrnoText(int error, const MessageCatalogue* catalogue) {
  const auto translate = [catalogue](const char* text) {
    return catalogue == nullptr ? text : catalogue->Translate(text);
  };
  const ErrnoRow* row = FindRow(error);
  const std::string system = std::strerror(error);
  if (row == nullptr || row->phrase == nullptr)
    return translate("Fehler ") + std::to_string(error) + " (" + system + ")";
  return translate(row->phrase) + std::string(" (") + system + ")";
}

}  // namespace zivivar
