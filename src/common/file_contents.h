// Opening and reading the files the system reads whole or line by line, with
// a size limit and only when they are regular files: a FIFO or a device
// (/dev/zero) could block the reader or never end.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <string>

namespace zivivar {

// What the readers return for a path that names no regular file (read(2)'s
// "unsuitable for reading").
inline constexpr int kNotRegularFile = EINVAL;
// What the readers return for a file longer than their limit.
inline constexpr int kFileTooLarge = EFBIG;

// Opens the regular file at path for reading in binary mode, without ever
// waiting for a writer. Returns 0 with *file set (the caller closes it);
// kNotRegularFile, kFileTooLarge when the file is already longer than limit,
// or the errno of another failure, with *file null.
int OpenRegularFile(const std::string& path, size_t limit, std::FILE** file);

// Reads the regular file at path whole into *contents. Returns 0; the errno of
// the failure (EIO when a read failed without one); kNotRegularFile; or
// kFileTooLarge when it holds more than limit bytes. On failure *contents is
// empty.
int ReadFileContents(const std::string& path, std::string* contents, size_t limit);

}  // namespace zivivar
