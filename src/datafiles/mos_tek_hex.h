// MOS Technology hex (lines ";") and Tektronix hex (lines "/"): 16-bit
// addresses, one data record per line, no header or end record written.
#pragma once

#include <cstdint>
#include <string>

#include "common/text_reader.h"
#include "datafiles/data_format.h"
#include "datafiles/image_buffer.h"
#include "services/services.h"

namespace zivivar {

// Reads MOS Technology records into image. A line whose second and third
// characters are "00" ends the reading, whatever else it holds. Returns
// LoadResult::kOk or LoadResult::kFailed after its message.
LoadResult ReadMosFile(TextReader& file, ImageBuffer& image, Services& services,
                       bool test_checksum);

// Reads Tektronix records into image; a count of 0 ends the reading. The two
// checksums of a line are accepted either as this system writes them (sums of
// bytes) or as the sums of hexadecimal digits that other tools write; the
// header checksum is tested before anything of the line is stored; a wrong
// one is reported with the value that digit_sums asks for. Returns
// LoadResult::kOk or LoadResult::kFailed after its message.
LoadResult ReadTektronixFile(TextReader& file, ImageBuffer& image, Services& services,
                             bool test_checksum, bool digit_sums = false);

// Append the first memory_size bytes of image to out as data lines only. The
// formats hold addresses up to 0xFFFF: a line beyond is refused with a
// message (SaveResult::kFailed). Return SaveResult::kOk otherwise. Tektronix
// checksums are sums of bytes, or of hexadecimal digits with
// options.tek_digit_sums.
SaveResult WriteMosFile(const ImageBuffer& image, uint32_t memory_size,
                        const DataFileOptions& options, Services& services, std::string& out);
SaveResult WriteTektronixFile(const ImageBuffer& image, uint32_t memory_size,
                              const DataFileOptions& options, Services& services, std::string& out);

}  // namespace zivivar
