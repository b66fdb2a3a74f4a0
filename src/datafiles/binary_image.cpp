#include "datafiles/binary_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "datafiles/file_errors.h"
#include "datafiles/record_lines.h"
#include "datafiles/text_records.h"

namespace zivivar {
namespace {

// The length of the file at path, through an open of its own; -1 with errno set on failure.
long long FileLength(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return -1;
  struct stat info {};
  const int result = ::fstat(fd, &info);
  const int error = errno;
  ::close(fd);
  if (result != 0) {
    errno = error;
    return -1;
  }
  return static_cast<long long>(info.st_size);
}

}  // namespace

int ReadBinaryFile(std::FILE* file, const std::string& path, uint32_t memory_size,
                   ImageBuffer& image, Services& services) {
  const long long length = FileLength(path);
  if (length < 0) {
    ReportFileError(services, path, errno);
    return kReadFailed;
  }
  if (static_cast<unsigned long long>(length) > memory_size) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Zuviele Daten für diesen Baustein !\n\nMaximale Anzahl Bytes: %lu\nAnzahl "
                  "Bytes in Brenndatei: %llu\n",
                  static_cast<unsigned long>(memory_size), static_cast<unsigned long long>(length));
    services.ShowMessage(text);
    return kReadFailed;
  }
  errno = 0;
  const size_t read = std::fread(image.bytes.data(), 1, image.bytes.size(), file);
  // A read error part way would leave a truncated image that looks complete.
  if (read == 0 || std::ferror(file)) {
    ReportFileError(services, path, std::ferror(file) ? (errno != 0 ? errno : EIO) : 0);
    return kReadFailed;
  }
  image.loaded_byte_count = static_cast<uint32_t>(read);
  image.highest_loaded_address = static_cast<uint32_t>(read - 1);
  return kReadOk;
}

int WriteBinaryImage(const ImageBuffer& image, uint32_t memory_size, MemoryKind kind, bool ff_save,
                     Services& services, std::string& out) {
  const uint32_t size = memory_size < kImageBufferSize ? memory_size : kImageBufferSize;
  uint32_t n = size;
  if (!ff_save) {
    while (n > 0 && image.bytes[n - 1] == kBlankByte)
      --n;
    if (n == 0) {
      if (kind == kCodeMemory) {
        services.ShowMessage(kBlankCodeMemoryMessage);
        return kSaveFailed;
      }
      n = 1;
    }
  }
  out.assign(reinterpret_cast<const char*>(image.bytes.data()), n);
  return kSaveOk;
}

}  // namespace zivivar
