// A device library written by the test into a fresh directory, with the
// services recording every message shown.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/device_library.h"
#include "support/scripted_services_view.h"
#include "support/temp_dir.h"

namespace zivivar {

class LibraryTest : public ::testing::Test {
 protected:
  void WriteLibrary(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
      text += line + "\r\n";
    dir.Write(kLibraryFileName, text);
  }
  // A valid AT89S52 record with some fields (counted from 1) replaced.
  static std::string Record(const std::vector<std::pair<int, std::string>>& changes = {}) {
    std::vector<std::string> fields = {"AT89S52", "DIP40", "5000", "1000", "500000", "0", "0", "0",
                                       "0",       "0",     "0",    "8192", "0",      "3", "4"};
    for (const auto& [position, value] : changes)
      fields[static_cast<size_t>(position - 1)] = value;
    std::string line;
    for (const std::string& field : fields)
      line += field + ";";
    return line + "Y";
  }

  testing::TempDir dir;
  int beep = 0;
  testing::ScriptedServicesView view;
  Services services{view, beep};
  DeviceLibrary library{services, dir.path()};
};

}  // namespace zivivar
