// Runs zivivar-cli in-process in a fresh directory holding the shipped device
// library, with the streams captured.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "support/temp_dir.h"

namespace zivivar::testing {

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ShippedLibrary() {
  std::ifstream in(std::string(ZIVIVAR_SOURCE_DIR) + "/data/VOZ8051.CSV", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CliTest : public ::testing::Test {
 protected:
  CliTest() { dir_.Write("VOZ8051.CSV", ShippedLibrary()); }

  // Runs the tool with -C on the test directory before args.
  CliResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"-C", dir_.path()});
    return RunRaw(args);
  }
  // system: the port access of the machine; null for the Linux one.
  CliResult RunRaw(const std::vector<std::string>& args, PortAccessSystem* system = nullptr) {
    std::ostringstream out;
    std::ostringstream err;
    CliEnvironment environment;
    environment.out = &out;
    environment.err = &err;
    environment.lock_directory = dir_.path();
    environment.interrupt_requested = [this] { return interrupt_; };
    environment.port_access_system = system;
    environment.language = language_;
    CliResult result;
    result.status = RunCli(args, environment);
    result.out = out.str();
    result.err = err.str();
    return result;
  }
  // The simulator with its chip kept in the test directory, and device.
  CliResult Sim(const std::string& device, std::vector<std::string> args) {
    args.insert(args.begin(),
                {"--simulator", "--sim-state", dir_.File("chip.zvchip"), "-d", device});
    return Run(args);
  }

  TempDir dir_;
  bool interrupt_ = false;
  // The tool's default language, whatever the locale of the machine running the tests.
  MessageLanguage language_ = MessageLanguage::kEnglish;
};

}  // namespace zivivar::testing
