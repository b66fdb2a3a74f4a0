// Settings keys given on the command line (--set KEY=VALUE) for one run: they
// replace the values of the settings file as if the file held them, with the
// same checks, replacements and messages, and the file is never written.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "config/settings.h"
#include "services/services.h"

namespace zivivar {

using SettingsOverrides = std::vector<std::pair<std::string, std::string>>;

// The key as the settings file spells it ("timebasekorr" -> "TimeBaseKorr"),
// or "" when the settings have no such key.
std::string CanonicalSettingsKey(const std::string& key);

// Applies overrides, in order (a later value for the same key wins), to
// settings as LoadSettings left them. Every key must be known (see
// CanonicalSettingsKey). A value that LoadSettings would replace is replaced
// the same way, with its message. Returns false when the overrides could not
// be read back (no temporary directory could be made); settings are then
// unchanged and the reason is in error.
bool ApplySettingsOverrides(const SettingsOverrides& overrides, Services& services,
                            Settings& settings, std::string& error);

}  // namespace zivivar
