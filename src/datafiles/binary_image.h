// Binary images: the file holds the memory's bytes from address 0, nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "datafiles/data_format.h"
#include "datafiles/image_buffer.h"
#include "services/services.h"

namespace zivivar {

inline constexpr char kBlankCodeMemoryMessage[] =
    "Der Baustein enthält nur Leerzellen !!\n\nSpeichervorgang abgebrochen.\n\nWenn eine "
    "Leerzellen-Datei geschrieben werden\nsoll, ** Leerzellen speichern ** aktivieren !";

// Puts bytes, the binary image read from the file at path, into image from
// address 0 and sets both load counters. An image longer than memory_size is
// refused before anything is stored; an empty one gives the file error
// message. Returns LoadResult::kOk or LoadResult::kFailed.
LoadResult ReadBinaryImage(std::string_view bytes, const std::string& path, uint32_t memory_size,
                           ImageBuffer& image, Services& services);

// Puts the first memory_size bytes of image into out as they are. Unless
// ff_save, trailing blank bytes are left out; a code memory that is blank
// throughout is then refused with kBlankCodeMemoryMessage, while a blank
// EEPROM gives one blank byte. Returns SaveResult::kOk or SaveResult::kFailed.
SaveResult WriteBinaryImage(const ImageBuffer& image, uint32_t memory_size, MemoryKind kind,
                            bool ff_save, Services& services, std::string& out);

}  // namespace zivivar
