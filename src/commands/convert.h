// Data files without the adapter: loading one into the image as for
// programming the device's code memory, writing the image as a read-out
// would, and converting a file from one format to another.
#pragma once

#include <ostream>
#include <string>

#include "commands/command_result.h"
#include "commands/device_commands.h"
#include "datafiles/data_format.h"
#include "datafiles/image_buffer.h"
#include "library/device_descriptor.h"
#include "services/services.h"

namespace zivivar {

struct ConvertArgs {
  std::string input;
  std::string output;          // replaced only when complete
  int format = kFormatBinary;  // DataFormat 1 to 9 of the output
  DataFileOptions file_options;
  // Set: the output goes to this stream instead, and output only names it.
  std::ostream* output_stream = nullptr;
};

// Loads the file at path into the image for the device's code memory:
// kOk or kFileNotLoaded, and the format recognised.
FileCommandResult LoadCodeFile(Services& services, ImageBuffer& image,
                               const DeviceDescriptor& device, const std::string& path,
                               const DataFileOptions& file_options);

// Writes the image's code memory to path in format (DataFormat 1 to 9),
// replacing a file there only when complete: kOk or kFileNotSaved.
CommandResult WriteCodeFile(Services& services, ImageBuffer& image, const DeviceDescriptor& device,
                            const std::string& path, int format,
                            const DataFileOptions& file_options);

// kOk, kFileNotLoaded or kFileNotSaved (each told to the user first), with
// the input as loaded.
FileCommandResult Convert(Services& services, ImageBuffer& image, const DeviceDescriptor& device,
                          const ConvertArgs& args);

}  // namespace zivivar
