// Settings keys given on the command line (--set KEY=VALUE) for one run: they
// replace the values of the settings file, and the file is never written. A
// value is held to the accepted range of its key (config/settings.h); where
// the file's value would be replaced at load, a value on the command line is
// refused instead, since the user can still correct it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "cli/cli_language.h"
#include "config/settings.h"

namespace zivivar {

using SettingsOverrides = std::vector<std::pair<std::string, std::string>>;

// Checks one override before anything runs: the key must be a settings key
// (in any case), the value must be one that SetSettingsValue takes, and a
// SimFault one that the simulator understands. Returns false with the reason
// in error, in the language of _.
bool CheckSettingsOverride(const std::string& key, const std::string& value, std::string& error,
                           const CliText& _ = UntranslatedText());

// Applies overrides, in order (a later value for the same key wins), to
// settings as LoadSettings left them; then, when the simulator is to run,
// checks the SimFault in force, from the file or the command line. Returns
// false with the reason in error for the first override or fault text
// refused; settings are then unchanged.
bool ApplySettingsOverrides(const SettingsOverrides& overrides, Settings& settings,
                            std::string& error, const CliText& _ = UntranslatedText());

}  // namespace zivivar
