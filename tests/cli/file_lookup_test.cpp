#include "cli/file_lookup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace zivivar::testing {
namespace {

// Where each file is found for each combination of places that hold it.
TEST(FileLookupTest, EachFileComesFromTheFirstPlaceThatHoldsIt) {
  struct Case {
    const char* name;
    std::vector<std::string> files;  // directory + S (settings) or L (library)
    bool given;                      // -C given
    bool xdg;                        // XDG_CONFIG_HOME set
    const char* settings_in;         // "" for nowhere (the working directory)
    const char* library_in;          // "" for nowhere
  };
  const std::string data = "usr/share/zivivar/";
  // clang-format off
  const Case cases[] = {
      {"nothing anywhere", {}, false, true, "", ""},
      {"only the installed library", {data + "L"}, false, true, "", "usr/share/zivivar/"},
      {"the working directory first",
       {"work/S", "work/L", "xdg/zivivar/S", "xdg/zivivar/L", data + "L"}, false, true, "work/", "work/"},
      {"each file on its own", {"work/S", "xdg/zivivar/L", data + "L"}, false, true, "work/", "xdg/zivivar/"},
      {"the user's configuration next", {"xdg/zivivar/S", data + "L"}, false, true,
       "xdg/zivivar/", "usr/share/zivivar/"},
      {"~/.config without XDG_CONFIG_HOME", {"home/.config/zivivar/S", "xdg/zivivar/L"}, false, false,
       "home/.config/zivivar/", ""},
      {"-C replaces the user's places", {"work/S", "work/L", "given/S"}, true, true, "given/", ""},
      {"-C before the installed library", {"given/L", data + "L"}, true, true, "given/", "given/"},
      {"-C, then the installed library", {data + "L"}, true, true, "given/", "usr/share/zivivar/"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir root;
    const std::string r = root.path();
    std::filesystem::create_directories(r + "usr/bin");
    std::filesystem::create_directories(r + data);
    for (const std::string& file : c.files) {
      const std::string dir = r + file.substr(0, file.size() - 1);
      std::filesystem::create_directories(dir);
      root.Write(dir.substr(r.size()) + (file.back() == 'S' ? "KORVALNK.INI" : "VOZ8051.CSV"), "");
    }
    FilePlaces places;
    if (c.given)
      places.config_dir = r + "given";
    places.working_directory = r + "work";
    places.xdg_config_home = c.xdg ? r + "xdg" : "";
    places.home = r + "home";
    places.executable = r + "usr/bin/zivivar-cli";
    const FoundFiles found = FindFiles(places);
    EXPECT_EQ(found.settings_directory, *c.settings_in ? r + c.settings_in : "");
    EXPECT_EQ(found.library_directory, *c.library_in ? r + c.library_in : "");
    EXPECT_EQ(found.library_places.back(), r + data);
  }
}

TEST(FileLookupTest, SimulatedChipsLiveInTheUsersStateDirectory) {
  FilePlaces places;
  places.home = "/home/u";
  EXPECT_EQ(FindFiles(places).state_directory, "/home/u/.local/state/zivivar/");
  places.xdg_state_home = "/state";
  EXPECT_EQ(FindFiles(places).state_directory, "/state/zivivar/");
}

}  // namespace
}  // namespace zivivar::testing
