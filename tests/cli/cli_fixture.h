// Runs zivivar-cli in-process in a fresh directory holding the shipped device
// library, with the streams captured and the user's configuration and state
// directories inside it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "sim/chip_state_file.h"
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

// size bytes of firmware-like data: random, with runs of 0xFF that the
// programming skips and the text writers leave out, and data in the last
// byte, so that the read-out has the file's length.
inline std::string Image(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i / 256) % 3 == 2 ? 0xFF : random() & 0xFF);
  bytes[size - 1] = 0x22;
  return bytes;
}

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    dir_.Write("VOZ8051.CSV", ShippedLibrary());
    setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1);
    setenv("XDG_STATE_HOME", dir_.File("state").c_str(), 1);
  }

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
    environment.interrupt_requested = [this] {
      if (on_poll_)
        on_poll_();
      return interrupt_after_ >= 0 && polls_++ >= interrupt_after_;
    };
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
  // The tool's default language, whatever the locale of the machine running the tests.
  MessageLanguage language_ = MessageLanguage::kEnglish;
  // Ctrl-C after this many polls of the interrupt; -1: never.
  int interrupt_after_ = -1;
  int polls_ = 0;
  std::function<void()> on_poll_;  // runs at every poll for an interrupt
};

class CliSimTest : public CliTest {
 protected:
  // The chip as its state file holds it.
  sim::ChipState Chip() {
    sim::ChipState state;
    EXPECT_EQ(sim::LoadChipState(dir_.File("chip.zvchip"), &state), sim::ChipStateResult::kOk);
    return state;
  }
};

}  // namespace zivivar::testing
