#include "datafiles/binary_image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "datafiles/file_errors.h"
#include "datafiles/record_lines.h"
#include "datafiles/text_records.h"

namespace zivivar {

LoadResult ReadBinaryImage(std::string_view bytes, const std::string& path, uint32_t memory_size,
                           ImageBuffer& image, Services& services) {
  if (bytes.size() > memory_size) {
    char text[160];
    std::snprintf(text, sizeof text,
                  services.Translate("Zuviele Daten für diesen Baustein !\n\nMaximale Anzahl "
                                     "Bytes: %lu\nAnzahl Bytes in Brenndatei: %llu\n"),
                  static_cast<unsigned long>(memory_size),
                  static_cast<unsigned long long>(bytes.size()));
    services.ShowMessage(text);
    return LoadResult::kFailed;
  }
  if (bytes.empty()) {
    ReportFileError(services, path, 0);
    return LoadResult::kFailed;
  }
  const size_t count = std::min(bytes.size(), image.bytes.size());
  std::memcpy(image.bytes.data(), bytes.data(), count);
  image.loaded_byte_count = static_cast<uint32_t>(count);
  image.highest_loaded_address = static_cast<uint32_t>(count - 1);
  return LoadResult::kOk;
}

SaveResult WriteBinaryImage(const ImageBuffer& image, uint32_t memory_size, MemoryKind kind,
                            bool ff_save, Services& services, std::string& out) {
  const uint32_t size = memory_size < kImageBufferSize ? memory_size : kImageBufferSize;
  uint32_t n = size;
  if (!ff_save) {
    while (n > 0 && image.bytes[n - 1] == kBlankByte)
      --n;
    if (n == 0) {
      if (kind == kCodeMemory) {
        services.ShowMessage(kBlankCodeMemoryMessage);
        return SaveResult::kFailed;
      }
      n = 1;
    }
  }
  out.assign(reinterpret_cast<const char*>(image.bytes.data()), n);
  return SaveResult::kOk;
}

}  // namespace zivivar
