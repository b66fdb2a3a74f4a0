#include "cli/file_lookup.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <utility>

#include "common/path_parts.h"
#include "config/settings.h"
#include "library/device_library.h"

namespace zivivar {
namespace {

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/')
    dir += '/';
  return dir;
}

// The XDG base directory rules: a relative value is ignored.
std::string AbsoluteOrEmpty(const char* value) {
  return value != nullptr && value[0] == '/' ? value : "";
}

bool HoldsFile(const std::string& dir, const char* name) {
  struct stat st {};
  return ::stat((dir + name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// The user's own places for a file, in the order they are searched.
std::vector<std::string> UserPlaces(const FilePlaces& places) {
  if (places.config_dir)
    return {WithSlash(*places.config_dir)};
  std::vector<std::string> dirs = {WithSlash(places.working_directory)};
  if (!places.xdg_config_home.empty()) {
    dirs.push_back(WithSlash(places.xdg_config_home) + "zivivar/");
  } else if (!places.home.empty()) {
    dirs.push_back(WithSlash(places.home) + ".config/zivivar/");
  }
  return dirs;
}

// ../share/zivivar/ beside the executable's directory, resolved.
std::string InstalledDataDirectory(const std::string& executable) {
  const PathParts parts = SplitPath(executable);
  if (parts.directory.empty())
    return "";
  const std::string data = parts.directory + "../share/zivivar";
  char resolved[PATH_MAX];
  if (::realpath(data.c_str(), resolved) == nullptr)
    return "";
  return WithSlash(resolved);
}

}  // namespace

FilePlaces ProcessFilePlaces(std::optional<std::string> config_dir) {
  FilePlaces places;
  places.config_dir = std::move(config_dir);
  places.working_directory = CurrentDirectory();
  places.xdg_config_home = AbsoluteOrEmpty(std::getenv("XDG_CONFIG_HOME"));
  places.xdg_state_home = AbsoluteOrEmpty(std::getenv("XDG_STATE_HOME"));
  places.home = AbsoluteOrEmpty(std::getenv("HOME"));
  if (places.home.empty()) {
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
      places.home = AbsoluteOrEmpty(entry->pw_dir);
  }
  char self[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length > 0)
    places.executable.assign(self, static_cast<size_t>(length));
  return places;
}

FoundFiles FindFiles(const FilePlaces& places) {
  FoundFiles found;
  const std::vector<std::string> user = UserPlaces(places);
  // A directory given is the settings' place even without the file.
  if (places.config_dir)
    found.settings_directory = user.front();
  for (const std::string& dir : user) {
    if (HoldsFile(dir, kSettingsFileName)) {
      found.settings_directory = dir;
      break;
    }
  }
  found.library_places = user;
  const std::string installed = InstalledDataDirectory(places.executable);
  if (!installed.empty())
    found.library_places.push_back(installed);
  for (const std::string& dir : found.library_places) {
    if (HoldsFile(dir, kLibraryFileName)) {
      found.library_directory = dir;
      break;
    }
  }
  if (!places.xdg_state_home.empty()) {
    found.state_directory = WithSlash(places.xdg_state_home) + "zivivar/";
  } else if (!places.home.empty()) {
    found.state_directory = WithSlash(places.home) + ".local/state/zivivar/";
  }
  return found;
}

std::string LibraryNotFoundText(const FoundFiles& found, const CliText& _) {
  std::string text = Printf(_("cannot find the device library %s; looked in:"), kLibraryFileName);
  for (const std::string& dir : found.library_places)
    text += "\n  " + dir;
  return text;
}

}  // namespace zivivar
