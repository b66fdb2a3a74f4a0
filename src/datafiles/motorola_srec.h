// Motorola S-records with 16-, 24- and 32-bit addresses (S1/S9, S2/S8, S3/S7).
#pragma once

#include <cstdint>
#include <string>

#include "common/text_reader.h"
#include "datafiles/data_format.h"
#include "datafiles/image_buffer.h"
#include "services/services.h"

namespace zivivar {

// The identification text of the header record of every file written.
inline constexpr char kSRecordHeaderText[] = "VELDOR V1.00";

// Reads S1, S2 and S3 data records, mixed as they come, into image; skips S0
// headers and S5/S6 record counts (their length and checksum are tested);
// stops at an S7, S8 or S9 end record or the end of the file. Returns
// LoadResult::kOk or LoadResult::kFailed after its message.
LoadResult ReadSRecordFile(TextReader& file, ImageBuffer& image, Services& services,
                           bool test_checksum);

// Appends to out the first memory_size bytes of image as an S-record file of
// format (kFormatS1, kFormatS2 or kFormatS3): the header record, for S2 and
// S3 an empty data record at 0, the data records and the end record. S1 holds
// addresses up to 0xFFFF only: a line beyond is refused with a message before
// anything is kept (SaveResult::kFailed). Returns SaveResult::kOk otherwise.
SaveResult WriteSRecordFile(const ImageBuffer& image, uint32_t memory_size, int format,
                            const DataFileOptions& options, Services& services, std::string& out);

// One record of type ('0' to '9') with an address of address_bytes (2 to 4)
// bytes, the data, the checksum and CR LF.
void AppendSRecord(std::string& out, char type, int address_bytes, uint32_t address,
                   const uint8_t* data, uint32_t n);

}  // namespace zivivar
