#include "common/errno_text.h"

#include <cerrno>
#include <cstring>

namespace zivivar {

std::string ErrnoText(int error) {
  const char* german = nullptr;
  switch (error) {
    case EACCES:
    case EPERM:
      german = "Zugriff verweigert";
      break;
    case ENOENT:
      german = "nicht vorhanden";
      break;
    case EROFS:
      german = "Dateisystem ist schreibgeschützt";
      break;
    case ENOSPC:
      german = "Datenträger ist voll";
      break;
    case EDQUOT:
      german = "Speicherplatz-Kontingent erschöpft";
      break;
    case EISDIR:
      german = "ist ein Verzeichnis";
      break;
    case ENOTDIR:
      german = "Verzeichnis nicht vorhanden";
      break;
    case EBUSY:
      german = "wird schon benutzt";
      break;
    case ENODEV:
    case ENXIO:
      german = "Gerät nicht vorhanden";
      break;
    case ENOTTY:
      german = "ist keine parallele Schnittstelle";
      break;
    case EIO:
      german = "Ein-/Ausgabefehler";
      break;
    case ENOSYS:
      german = "auf diesem System nicht möglich";
      break;
    default:
      break;
  }
  const std::string system = std::strerror(error);
  if (german == nullptr)
    return "Fehler " + std::to_string(error) + " (" + system + ")";
  return std::string(german) + " (" + system + ")";
}

}  // namespace zivivar
