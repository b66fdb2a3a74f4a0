// Converting a data file to another format without the adapter: the file is
// loaded as for programming the device's code memory and written as a
// read-out would be.
#pragma once

#include <string>

#include "commands/command_result.h"
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
};

// kOk, kFileNotLoaded or kFileNotSaved (each told to the user first).
CommandResult Convert(Services& services, ImageBuffer& image, const DeviceDescriptor& device,
                      const ConvertArgs& args);

}  // namespace zivivar
