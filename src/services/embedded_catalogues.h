// The compiled message catalogues built into the program (po/LANG.po).
#pragma once

#include <string_view>

namespace zivivar {

// The .mo bytes of language ("de", "en"); empty when there is none. Defined
// by the library zivivar_messages, which the build generates.
std::string_view EmbeddedCatalogue(std::string_view language);

}  // namespace zivivar
