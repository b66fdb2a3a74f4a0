// German wording of the system errors that users meet with files and ports,
// for the messages of the settings file and of the port access.
#pragma once

#include <string>

namespace zivivar {

// "Zugriff verweigert (Permission denied)" and the like: a German phrase with
// the system's own text in parentheses; unknown codes give "Fehler N (...)".
std::string ErrnoText(int error);

}  // namespace zivivar
