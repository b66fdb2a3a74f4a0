#include "commands/convert.h"

#include <cerrno>
#include <string_view>

#include "common/atomic_file.h"
#include "datafiles/data_files.h"

namespace zivivar {

FileCommandResult LoadCodeFile(Services& services, ImageBuffer& image,
                               const DeviceDescriptor& device, const std::string& path,
                               const DataFileOptions& file_options) {
  DataFiles files(image, services, device);
  const LoadResult loaded = files.LoadDataFile(path, kCodeMemory, file_options);
  return {FromLoadResult(loaded), files.data_format()};
}

CommandResult WriteCodeFile(Services& services, ImageBuffer& image, const DeviceDescriptor& device,
                            const std::string& path, int format,
                            const DataFileOptions& file_options) {
  DataFiles files(image, services, device, format);
  return FromSaveResult(files.WriteDataFile(path, kCodeMemory, file_options));
}

FileCommandResult Convert(Services& services, ImageBuffer& image, const DeviceDescriptor& device,
                          const ConvertArgs& args) {
  DataFiles files(image, services, device);
  const LoadResult loaded = files.LoadDataFile(args.input, kCodeMemory, args.file_options);
  if (loaded != LoadResult::kOk)
    return {FromLoadResult(loaded), files.data_format(), {}, {}};
  FileCommandResult outcome{CommandResult::kOk,
                            files.data_format(),
                            DescribeLoadedFile(image, files.data_format(), device.code_size),
                            {}};
  files.SetDataFormat(args.format);
  if (args.output_stream != nullptr) {
    files.SetFileWriter([&args](const std::string&, std::string_view contents) {
      args.output_stream->write(contents.data(), static_cast<std::streamsize>(contents.size()));
      args.output_stream->flush();
      return *args.output_stream ? 0 : EIO;
    });
  } else {
    // The output is made again from its input at once, so it is not forced
    // onto the disk; a read-out, the only copy of a chip's contents, is.
    files.SetFileWriter(WriteFileAtomicallyUnsynced);
  }
  outcome.result = FromSaveResult(files.WriteDataFile(args.output, kCodeMemory, args.file_options));
  return outcome;
}

}  // namespace zivivar
