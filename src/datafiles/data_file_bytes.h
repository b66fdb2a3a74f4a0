// Reading a data file whole, once. Recognising a format and loading it then
// work on the same bytes, so a pipe, a process substitution or /dev/stdin
// is read like any file; a source that never ends is not waited on forever.
#pragma once

#include <cstddef>
#include <string>

#include "services/services.h"

namespace zivivar {

// No data file is anywhere near this: the text of a full 128 KiB memory in
// any format stays below 1 MiB.
inline constexpr size_t kMaxDataFileSize = size_t{16} << 20;
// How long a pipe or device may stay silent before it is given up (a named
// pipe without a writer sends nothing ever).
inline constexpr int kDataFileIdleTimeoutMs = 15000;

// Reads the whole file at path into *bytes. Returns 0, the errno of a
// failure, EFBIG when the file holds more than kMaxDataFileSize bytes, or
// ETIMEDOUT when a pipe or device sent nothing for idle_timeout_ms. Opening
// never blocks; *bytes is empty after a failure.
int ReadDataFileBytes(const std::string& path, std::string* bytes,
                      int idle_timeout_ms = kDataFileIdleTimeoutMs);

// The message for a failure of ReadDataFileBytes: the file error message,
// with texts of their own for a file too big and a source that stayed silent.
void ReportDataFileReadError(Services& services, const std::string& path, int error);

}  // namespace zivivar
