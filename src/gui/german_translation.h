// The toolkit's own texts (standard buttons, file dialogs, input checks) in
// German, to match the rest of the interface whatever the user's locale.
#pragma once

class QCoreApplication;

namespace zivivar {

// Installs the toolkit's German translation in app. Returns false when the
// translation files are not installed; the texts then stay in English.
bool InstallGermanTranslation(QCoreApplication& app);

}  // namespace zivivar
