#include "commands/convert.h"

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

CommandResult Convert(Services& services, ImageBuffer& image, const DeviceDescriptor& device,
                      const ConvertArgs& args) {
  DataFiles files(image, services, device);
  const LoadResult loaded = files.LoadDataFile(args.input, kCodeMemory, args.file_options);
  if (loaded != LoadResult::kOk)
    return FromLoadResult(loaded);
  files.SetDataFormat(args.format);
  // The output is made again from its input at once, so it is not forced
  // onto the disk; a read-out, the only copy of a chip's contents, is.
  files.SetFileWriter(WriteFileAtomicallyUnsynced);
  return FromSaveResult(files.WriteDataFile(args.output, kCodeMemory, args.file_options));
}

}  // namespace zivivar
