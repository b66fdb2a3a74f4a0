#include "cli/job_summary.h"

#include <cstdio>
#include <string_view>

#include "datafiles/data_format.h"
#include "programmer/device_operations.h"

namespace zivivar {
namespace {

std::string Shown(const std::string& name, bool output) {
  if (name != "-")
    return name;
  return output ? "standard output" : "standard input";
}

std::string Range(uint32_t first, uint32_t last) {
  char text[32];
  std::snprintf(text, sizeof text, "%04X-%04X", first, last);
  return text;
}

// "fw.ihx (Intel HEX, 1234 bytes, 0000-04D1)"
std::string Describe(const SummaryFile& file, bool output) {
  std::string text = Shown(file.name, output) + " (" + FormatTitle(file.file.format) + ", " +
                     std::to_string(file.file.bytes) + " bytes";
  if (file.file.bytes > 0)
    text += ", " + Range(file.file.first_address, file.file.last_address);
  return text + ")";
}

std::string LockBits(const LockOptions& locks) {
  const int highest = locks.lock3 > 0 ? 3 : locks.lock2 > 0 ? 2 : locks.lock1 > 0 ? 1 : 0;
  if (highest == 0)
    return "";
  // The levels build on each other: lock bit 2 is never programmed without 1.
  return highest == 1 ? "lock bit 1" : "lock bits 1-" + std::to_string(highest);
}

std::string Seconds(std::chrono::nanoseconds elapsed) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(elapsed.count()) / 1e9);
  return text;
}

bool StartsWithFormat(const std::string& status, const char* format) {
  const std::string_view fixed =
      std::string_view(format).substr(0, std::string_view(format).find('%'));
  return status.starts_with(fixed);
}

}  // namespace

const char* FormatTitle(int format) {
  switch (format) {
    case kFormatBinary:
      return "binary";
    case kFormatIntel8:
      return "Intel HEX";
    case kFormatIntel32:
      return "Intel HEX-32";
    case kFormatIntelMcs:
      return "Intel HEX-MCS";
    case kFormatS1:
      return "Motorola S1";
    case kFormatS2:
      return "Motorola S2";
    case kFormatS3:
      return "Motorola S3";
    case kFormatMos:
      return "MOS Technology";
    case kFormatTektronix:
      return "Tektronix";
    default:
      return "unknown format";
  }
}

std::string SummaryLine(const JobSummary& summary) {
  std::string line;
  const std::string code = summary.code ? Describe(*summary.code, false) : "";
  const std::string eeprom =
      summary.eeprom ? " and EEPROM " + Describe(*summary.eeprom, false) : "";
  switch (summary.command) {
    case CliCommand::kProgram:
      line = "programmed " + code + eeprom + " into " + summary.device;
      if (summary.verified)
        line += ", verified";
      if (const std::string locks = LockBits(summary.locks); !locks.empty())
        line += ", " + locks;
      break;
    case CliCommand::kVerify:
      line = "verified " + code + eeprom + " against " + summary.device;
      break;
    case CliCommand::kRead:
      line = "read " + summary.device + " into " +
             (summary.code ? Describe(*summary.code, true) : std::string());
      if (summary.eeprom)
        line += ", EEPROM into " + Describe(*summary.eeprom, true);
      break;
    case CliCommand::kBlank:
      line = "checked " + summary.device + ": blank";
      break;
    case CliCommand::kErase:
      line = "erased " + summary.device + " and checked it blank";
      break;
    case CliCommand::kConvert:
      line = "converted " + code + " to " + Shown(summary.output, true) + " (" +
             FormatTitle(summary.output_format) + ")";
      break;
    default:
      return "";
  }
  return line + ", in " + Seconds(summary.elapsed);
}

const char* StepForStatus(const std::string& status, const CliText& _) {
  struct Step {
    const char* status;
    const char* step;
  };
  // The code memory's programming starts with the chip erase.
  static constexpr Step kSteps[] = {
      {kEraseStatus, "erase"},
      {kProgramCodeStatusFormat, "erase and program code memory"},
      {kProgramDataStatusFormat, "program EEPROM"},
      {kVerifyCodeStatusFormat, "verify code memory"},
      {kVerifyDataStatusFormat, "verify EEPROM"},
      {kLockBitsStatus, "program lock bits"},
      {kBlankCheckCodeStatus, "blank check code memory"},
      {kBlankCheckDataStatus, "blank check EEPROM"},
      {"Lese Programmspeicher", "read code memory"},
      {"Lese EEPROM", "read EEPROM"},
  };
  for (const Step& step : kSteps) {
    if (StartsWithFormat(status, _(step.status)))
      return _(step.step);
  }
  return nullptr;
}

}  // namespace zivivar
