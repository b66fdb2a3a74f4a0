// Where zivivar-cli finds its files, as installed software finds them. The
// settings file KORVALNK.INI and the device library VOZ8051.CSV are each
// taken from the first of these places that holds them:
//   1. -C/--config-dir DIR when given, and then no other place of the
//      user's; otherwise the working directory, then $XDG_CONFIG_HOME/zivivar
//      (~/.config/zivivar when unset);
//   2. for the library only, last: the installed data directory,
//      ../share/zivivar beside the directory of the executable, so that a
//      package installed under any prefix finds its own library.
// The simulated chips are kept in $XDG_STATE_HOME/zivivar/
// (~/.local/state/zivivar/), never beside the library. The tool never writes
// the settings file, so a settings file found nowhere is just the defaults.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_language.h"

namespace zivivar {

// The surroundings the lookup depends on, so that tests can set them.
struct FilePlaces {
  std::optional<std::string> config_dir;  // -C DIR
  std::string working_directory;
  std::string xdg_config_home;  // "" when unset or not absolute
  std::string xdg_state_home;   // "" when unset or not absolute
  std::string home;
  std::string executable;  // the running program's own path ("" when unknown)
};

// The places of this process: $XDG_CONFIG_HOME, $XDG_STATE_HOME, $HOME (the
// password entry when unset), the working directory and /proc/self/exe.
FilePlaces ProcessFilePlaces(std::optional<std::string> config_dir);

struct FoundFiles {
  // Where KORVALNK.INI was found, with a trailing '/'; -C's directory
  // when given, and otherwise the working directory ("") when it is nowhere.
  std::string settings_directory;
  // Where VOZ8051.CSV was found, with a trailing '/'; "" when it is nowhere.
  std::string library_directory;
  // Every directory looked in for the library, in order, for the message
  // when it is nowhere.
  std::vector<std::string> library_places;
  // The simulated chips' directory, with a trailing '/'; "" when neither
  // $XDG_STATE_HOME nor a home directory is known.
  std::string state_directory;
};

FoundFiles FindFiles(const FilePlaces& places);

// "cannot find the device library VOZ8051.CSV; looked in:" and one
// indented line per place, in the language of _.
std::string LibraryNotFoundText(const FoundFiles& found, const CliText& _);

}  // namespace zivivar
