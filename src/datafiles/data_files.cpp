#include "datafiles/data_files.h"

#include <cerrno>
#include <cstdio>

#include "common/atomic_file.h"
#include "common/text_reader.h"
#include "datafiles/binary_image.h"
#include "datafiles/data_file_bytes.h"
#include "datafiles/file_errors.h"
#include "datafiles/intel_hex.h"
#include "datafiles/mos_tek_hex.h"
#include "datafiles/motorola_srec.h"
#include "datafiles/record_lines.h"
#include "datafiles/text_records.h"

namespace zivivar {
namespace {

void ReportTooMuchData(Services& services, MemoryKind kind, uint32_t size, uint32_t count,
                       uint32_t highest) {
  const char* format =
      kind == kCodeMemory
          ? "Zuviele Programmdaten für diesen Controller-Typ !\n\nErlaubt: %lu Bytes\nGelesen: "
            "%lu Bytes\n\nHöchste erlaubte Adresse: %lu\nHöchste gefundene Adresse: %lu\n"
          : "Zuviele EEpromdaten für diesen Controller-Typ !\n\nErlaubt: %lu Bytes\nGelesen: "
            "%lu Bytes\n\nHöchste erlaubte Adresse: %lu\nHöchste gefundene Adresse: %lu\n";
  char text[320];
  std::snprintf(text, sizeof text, services.Translate(format), static_cast<unsigned long>(size),
                static_cast<unsigned long>(count), static_cast<unsigned long>(size - 1),
                static_cast<unsigned long>(highest));
  services.ShowMessage(text);
}

}  // namespace

SaveResult BuildDataFile(const ImageBuffer& image, uint32_t memory_size, MemoryKind kind,
                         int format, const DataFileOptions& options, Services& services,
                         std::string& out) {
  out.clear();
  switch (format) {
    case kFormatBinary:
      return WriteBinaryImage(image, memory_size, kind, options.ff_save, services, out);
    case kFormatIntel8:
    case kFormatIntel32:
    case kFormatIntelMcs:
      return WriteIntelFile(image, memory_size, format, options, out);
    case kFormatS1:
    case kFormatS2:
    case kFormatS3:
      return WriteSRecordFile(image, memory_size, format, options, services, out);
    case kFormatMos:
      return WriteMosFile(image, memory_size, options, services, out);
    case kFormatTektronix:
      return WriteTektronixFile(image, memory_size, options, services, out);
    default: {
      char text[96];
      std::snprintf(
          text, sizeof text,
          services.Translate("Unbekanntes Datenformat %d !\n\nSpeichervorgang abgebrochen."),
          format);
      services.ShowMessage(text);
      return SaveResult::kFailed;
    }
  }
}

DataFiles::DataFiles(ImageBuffer& image, Services& services, const DeviceDescriptor& device,
                     int data_format)
    : image_(image),
      services_(services),
      device_(device),
      data_format_(data_format),
      file_writer_(WriteFileAtomically) {}

int DataFiles::ClassifyDataFile(const std::string& path, bool quiet) {
  data_format_ = zivivar::ClassifyDataFile(path, quiet, services_);
  return data_format_;
}

LoadResult DataFiles::LoadDataFile(const std::string& path, MemoryKind kind,
                                   const DataFileOptions& options) {
  image_.loaded_byte_count = 0;
  // Read once: a pipe gives its data only to the first reader. A missing
  // EEPROM companion file is reported like any other missing file.
  std::string bytes;
  if (const int error = ReadDataFileBytes(path, &bytes); error != 0) {
    ReportDataFileReadError(services_, path, error);
    return LoadResult::kFailed;
  }
  data_format_ = ClassifyDataBytes(bytes);
  const uint32_t size = MemorySize(kind);
  if (ReadBytes(bytes, path, data_format_, size, options) != LoadResult::kOk)
    return LoadResult::kFailed;
  if (image_.loaded_byte_count > size || image_.highest_loaded_address >= size) {
    ReportTooMuchData(services_, kind, size, image_.loaded_byte_count,
                      image_.highest_loaded_address);
    return LoadResult::kFailed;
  }
  return LoadResult::kOk;
}

LoadResult DataFiles::ReadBytes(std::string_view bytes, const std::string& path, int format,
                                uint32_t memory_size, const DataFileOptions& options) {
  const bool test_checksum = options.test_checksum;
  if (format == kFormatBinary) {
    image_.Clear();
    return ReadBinaryImage(bytes, path, memory_size, image_, services_);
  }

  TextReader file;
  if (const int error = file.OpenBytes(bytes); error != 0) {
    ReportFileError(services_, path, error);
    return LoadResult::kFailed;
  }
  image_.Clear();
  LoadResult result = LoadResult::kFailed;
  if (IsIntelFormat(format)) {
    result = ReadIntelFile(file, image_, services_, test_checksum);
  } else if (IsSRecordFormat(format)) {
    result = ReadSRecordFile(file, image_, services_, test_checksum);
  } else if (format == kFormatMos) {
    result = ReadMosFile(file, image_, services_, test_checksum);
  } else if (format == kFormatTektronix) {
    result = ReadTektronixFile(file, image_, services_, test_checksum, options.tek_digit_sums);
  }
  // A read error looks like the end of the file to the readers; a load that
  // stopped there must not pass for a complete one.
  if (result == LoadResult::kOk && file.Failed()) {
    ReportFileError(services_, path, EIO);
    return LoadResult::kFailed;
  }
  return result;
}

SaveResult DataFiles::WriteDataFile(const std::string& path, MemoryKind kind,
                                    const DataFileOptions& options) {
  std::string contents;
  if (BuildDataFile(image_, MemorySize(kind), kind, data_format_, options, services_, contents) !=
      SaveResult::kOk) {
    return SaveResult::kFailed;
  }
  if (const int error = file_writer_(path, contents); error != 0) {
    ReportFileError(services_, path, error);
    return SaveResult::kFailed;
  }
  return SaveResult::kOk;
}

SaveResult DataFiles::SaveMemoryToFile(const std::string& path, MemoryKind kind,
                                       const DataFileOptions& options, DeviceReadout& device) {
  device.ResetAdapter();
  services_.EnableCancelButton();
  device.EnterProgrammingMode();
  // Only the bytes: the counters describe the last load, not a read-out.
  image_.bytes.fill(kBlankByte);
  services_.SetStatus(kind == kCodeMemory ? kReadCodeStatus : kReadDataStatus);
  const bool read = device.ReadMemory(kind);
  device.LeaveProgrammingMode();
  // A lost adapter was reported where it happened; what it read is noise.
  if (!read)
    return SaveResult::kFailed;
  if (services_.CancelRequested()) {
    services_.ShowMessage(kReadOutCancelledMessage);
    return SaveResult::kFailed;
  }
  return WriteDataFile(path, kind, options);
}

}  // namespace zivivar
