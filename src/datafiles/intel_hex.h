// Intel HEX: one reader for the variants Intel8, Intel32 and IntelMCS, which
// differ only in the address records their writer puts ahead of the data.
#pragma once

#include <cstdint>
#include <string>

#include "common/text_reader.h"
#include "datafiles/data_format.h"
#include "datafiles/image_buffer.h"
#include "services/services.h"

namespace zivivar {

// Reads data records (00) into image at their address plus the current offset,
// which extended segment (02) and linear (04) address records replace; stops
// at the end record (01) or the end of the file. Other record types are
// tested and ignored. Returns LoadResult::kOk or LoadResult::kFailed after its message.
LoadResult ReadIntelFile(TextReader& file, ImageBuffer& image, Services& services,
                         bool test_checksum);

// Appends to out the first memory_size bytes of image as an Intel HEX file of
// format (kFormatIntel8, kFormatIntel32 or kFormatIntelMcs): Intel32 begins
// with a linear and a segment address record of 0, IntelMCS with a segment
// address record of 0, and each further 64 KiB bank that holds a line gets an
// address record of the variant's kind (segment records for Intel8 too).
// Lines that would cross a bank boundary are split there. Always SaveResult::kOk.
SaveResult WriteIntelFile(const ImageBuffer& image, uint32_t memory_size, int format,
                          const DataFileOptions& options, std::string& out);

// One record: count, 16-bit address, type, data and checksum, with CR LF.
void AppendIntelRecord(std::string& out, uint8_t type, uint16_t address, const uint8_t* data,
                       uint32_t n);

}  // namespace zivivar
