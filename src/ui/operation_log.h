// The record of what was done: every finished device command appends one line
// (time, device, command, file, result) to a per-user log file, which the
// window can show. Writing the record never stops or changes a command.
#pragma once

#include <ctime>
#include <string>

#include "commands/command_result.h"

namespace zivivar {

// $XDG_STATE_HOME/zivivar/zivivar.log, or ~/.local/state/zivivar/zivivar.log
// when XDG_STATE_HOME is unset or not absolute; empty when neither variable
// gives a directory.
std::string OperationLogPath();

// The result as the log shows it: "OK", "Demomodus" or "Fehler N".
std::string OperationResultText(CommandResult result);

// One line without the line end, fields separated by tabs:
// "2026-12-07 14:03:59\tAT89S52\tBrennen\t/home/u/blink.ihx\tOK".
// The local time; a field that is empty shows as "-", and tabs or line ends
// inside a field become spaces, so every line has five fields.
std::string OperationLogLine(std::time_t when, const std::string& device,
                             const std::string& command, const std::string& file,
                             CommandResult result);

// Appends line and a line end to path, creating the log's directory (mode
// 0700) when missing. False when the file cannot be written.
bool AppendOperationLogLine(const std::string& path, const std::string& line);

}  // namespace zivivar
