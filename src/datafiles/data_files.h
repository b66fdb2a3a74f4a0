// Loading data files into the image and saving the image (or a device read
// out into it) to data files, in every format the system knows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "datafiles/data_format.h"
#include "datafiles/device_readout.h"
#include "datafiles/image_buffer.h"
#include "library/device_descriptor.h"
#include "services/services.h"

namespace zivivar {

inline constexpr char kReadOutCancelledMessage[] = "Auslesen abgebrochen !";
// The status texts while a read-out reads the device.
inline constexpr char kReadCodeStatus[] = "Lese Programmspeicher";
inline constexpr char kReadDataStatus[] = "Lese EEPROM";

// The format (0 to 9) of the file at path, judged from at most its first two
// lines (plus one more after an extended segment address record); a file that
// is not recognised as text is a binary image. An Intel or S-record end
// record among those lines counts as text too, so that the file of a blank
// memory is not taken for a binary image of its own characters. 0 only when
// the file cannot be read (ReadDataFileBytes), which is reported unless quiet.
int ClassifyDataFile(const std::string& path, bool quiet, Services& services);
// The same judgement over a file's bytes already read; never 0.
int ClassifyDataBytes(std::string_view bytes);

// The text (or bytes) of a data file of format holding the first memory_size
// bytes of image, into out. Returns SaveResult::kOk, or SaveResult::kFailed after a message
// when the format cannot hold the data (or is not a format at all).
SaveResult BuildDataFile(const ImageBuffer& image, uint32_t memory_size, MemoryKind kind,
                         int format, const DataFileOptions& options, Services& services,
                         std::string& out);

// Puts a whole file in place; returns 0 or an errno. The default writes to a
// temporary file beside path and renames it over path when complete.
using FileWriter = std::function<int(const std::string& path, std::string_view contents)>;

// The data-file operations on the run's image. Every operation reports its
// own failures before it returns; callers test for kOk only.
class DataFiles {
 public:
  // image, services and device must outlive this object. device gives the
  // memory sizes and is read at every call, so a reloaded descriptor counts
  // at once. data_format is the current data format (the setting
  // DataFormat): classification sets it, saving writes in it.
  DataFiles(ImageBuffer& image, Services& services, const DeviceDescriptor& device,
            int data_format = kFormatUnknown);

  // ClassifyDataFile, and the current data format set to its result.
  int ClassifyDataFile(const std::string& path, bool quiet);

  // Reads the file once (ReadDataFileBytes), recognises its format from
  // those bytes, clears the image to blank, reads the bytes into it and checks the amount of data
  // and the highest address against the size of the memory of kind. Returns LoadResult::kOk or
  // LoadResult::kFailed. A file that cannot be opened is reported for either memory. After a
  // failure the image and counters hold what was read until then and are not to be used.
  LoadResult LoadDataFile(const std::string& path, MemoryKind kind, const DataFileOptions& options);

  // Writes the image of the memory of kind (its size from the device) to path
  // in the current data format. The file is replaced only when complete: after
  // a failure an existing file at path is as it was. Returns SaveResult::kOk or
  // SaveResult::kFailed.
  SaveResult WriteDataFile(const std::string& path, MemoryKind kind,
                           const DataFileOptions& options);

  // Reads the memory of kind out of the device into the image (cleared to
  // blank first) and writes it with WriteDataFile. A read-out stopped by the
  // cancel button is reported and writes nothing, and so does one that the
  // device reports as failed. Returns SaveResult::kOk or SaveResult::kFailed. The load
  // counters are not changed.
  SaveResult SaveMemoryToFile(const std::string& path, MemoryKind kind,
                              const DataFileOptions& options, DeviceReadout& device);

  // Replaces the final write of WriteDataFile (tests simulate a full disk).
  void SetFileWriter(FileWriter writer) { file_writer_ = std::move(writer); }
  const FileWriter& file_writer() const { return file_writer_; }

  uint32_t MemorySize(MemoryKind kind) const {
    return kind == kEepromMemory ? device_.eeprom_size : device_.code_size;
  }
  // The current data format: the last file's, or the one set for saving.
  int data_format() const { return data_format_; }
  void SetDataFormat(int format) { data_format_ = format; }

 private:
  // Clears the image and reads the bytes of the file at path into it with
  // the format's reader.
  LoadResult ReadBytes(std::string_view bytes, const std::string& path, int format,
                       uint32_t memory_size, const DataFileOptions& options);

  ImageBuffer& image_;
  Services& services_;
  const DeviceDescriptor& device_;
  int data_format_;
  FileWriter file_writer_;
};

}  // namespace zivivar
