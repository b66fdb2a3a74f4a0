// What zivivar-cli tells about a job besides the system's messages: the one
// summary line after it (what was done, the file's recognised format, its
// bytes and address range, the time taken) and, with -v, the steps as they
// start, told from the status texts the operations set.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "cli/cli_language.h"
#include "cli/cli_options.h"
#include "commands/device_commands.h"
#include "programmer/spi_protocol.h"

namespace zivivar {

// A data file of the job as the summary names it.
struct SummaryFile {
  std::string name;  // as typed; "-" is shown as the standard stream
  LoadedFile file;
};

struct JobSummary {
  CliCommand command = CliCommand::kNone;
  std::string device;                 // the device's name from the library
  std::optional<SummaryFile> code;    // program, verify, read, convert: the code memory's file
  std::optional<SummaryFile> eeprom;  // the EEPROM's file, when one was used
  std::string output;                 // convert: the file written
  int output_format = 0;              // convert: its DataFormat
  bool verified = false;              // program: a verify ran after the programming
  LockOptions locks;                  // program: the lock bits programmed
  std::chrono::nanoseconds elapsed{};
};

// The line for a job that succeeded, without its newline, e.g.
// "programmed fw.ihx (Intel HEX, 1234 bytes, 0000-04D1) into AT89S52,
// verified, lock bits 1-2, in 3.2 s", in the language of _.
std::string SummaryLine(const JobSummary& summary, const CliText& _);

// The format's name in the summary ("Intel HEX", "Motorola S1", ...).
const char* FormatTitle(int format);

// The step a status text of the operations starts ("erase and program code
// memory", "verify EEPROM", ...); null for a status that starts none. The
// status and the step are in the language of _.
const char* StepForStatus(const std::string& status, const CliText& _);

}  // namespace zivivar
