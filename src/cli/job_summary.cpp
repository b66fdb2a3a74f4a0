#include "cli/job_summary.h"

#include <cstdio>
#include <string_view>

#include "datafiles/data_files.h"
#include "datafiles/data_format.h"
#include "programmer/device_operations.h"

namespace zivivar {
namespace {

std::string Shown(const std::string& name, bool output, const CliText& _) {
  if (name != "-")
    return name;
  return output ? _("standard output") : _("standard input");
}

std::string Range(uint32_t first, uint32_t last) {
  char text[32];
  std::snprintf(text, sizeof text, "%04X-%04X", first, last);
  return text;
}

// "fw.ihx (Intel HEX, 1234 bytes, 0000-04D1)"
std::string Describe(const SummaryFile& file, bool output, const CliText& _) {
  std::string text = Shown(file.name, output, _) + " (" + _(FormatTitle(file.file.format)) + ", " +
                     Printf(_("%lu bytes"), static_cast<unsigned long>(file.file.bytes));
  if (file.file.bytes > 0)
    text += ", " + Range(file.file.first_address, file.file.last_address);
  return text + ")";
}

std::string LockBits(const LockOptions& locks, const CliText& _) {
  const int highest = locks.lock3 > 0 ? 3 : locks.lock2 > 0 ? 2 : locks.lock1 > 0 ? 1 : 0;
  if (highest == 0)
    return "";
  // The levels build on each other: lock bit 2 is never programmed without 1.
  return highest == 1 ? _("lock bit 1") : Printf(_("lock bits 1-%d"), highest);
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

std::string SummaryLine(const JobSummary& summary, const CliText& _) {
  std::string line;
  const std::string code = summary.code ? Describe(*summary.code, false, _) : "";
  const std::string eeprom =
      summary.eeprom ? Printf(_(" and EEPROM %s"), Describe(*summary.eeprom, false, _).c_str())
                     : "";
  const char* device = summary.device.c_str();
  switch (summary.command) {
    case CliCommand::kProgram:
      line = Printf(_("programmed %s%s into %s"), code.c_str(), eeprom.c_str(), device);
      if (summary.verified)
        line += _(", verified");
      if (const std::string locks = LockBits(summary.locks, _); !locks.empty())
        line += ", " + locks;
      break;
    case CliCommand::kVerify:
      line = Printf(_("verified %s%s against %s"), code.c_str(), eeprom.c_str(), device);
      break;
    case CliCommand::kRead:
      line = Printf(_("read %s into %s"), device,
                    summary.code ? Describe(*summary.code, true, _).c_str() : "");
      if (summary.eeprom)
        line += Printf(_(", EEPROM into %s"), Describe(*summary.eeprom, true, _).c_str());
      break;
    case CliCommand::kBlank:
      line = Printf(_("checked %s: blank"), device);
      break;
    case CliCommand::kErase:
      line = Printf(_("erased %s and checked it blank"), device);
      break;
    case CliCommand::kConvert:
      line = Printf(_("converted %s to %s (%s)"), code.c_str(),
                    Shown(summary.output, true, _).c_str(), _(FormatTitle(summary.output_format)));
      break;
    default:
      return "";
  }
  return line + Printf(_(", in %s"), Seconds(summary.elapsed).c_str());
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
      {kReadCodeStatus, "read code memory"},
      {kReadDataStatus, "read EEPROM"},
  };
  for (const Step& step : kSteps) {
    if (StartsWithFormat(status, _(step.status)))
      return _(step.step);
  }
  return nullptr;
}

}  // namespace zivivar
