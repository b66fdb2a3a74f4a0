#include <string>

#include "common/text_reader.h"
#include "datafiles/data_file_bytes.h"
#include "datafiles/data_files.h"

namespace zivivar {
namespace {

// A control or non-ASCII character anywhere but in the last two places of the
// line (where the line end and its last character sit) marks a binary file.
bool HasBinaryCharacter(const std::string& line) {
  for (size_t i = 0; i + 2 < line.size(); ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c < 0x20 || c > 0x7F)
      return true;
  }
  return false;
}

// The ninth character holds the low digit of an Intel record type.
char IntelTypeDigit(const std::string& line) {
  return line.size() > 8 ? line[8] : '\0';
}

}  // namespace

int ClassifyDataFile(const std::string& path, bool quiet, Services& services) {
  std::string bytes;
  if (const int error = ReadDataFileBytes(path, &bytes); error != 0) {
    if (!quiet)
      ReportDataFileReadError(services, path, error);
    return kFormatUnknown;
  }
  return ClassifyDataBytes(bytes);
}

int ClassifyDataBytes(std::string_view bytes) {
  TextReader file;
  if (file.OpenBytes(bytes) != 0)
    return kFormatBinary;
  int format = kFormatUnknown;
  std::string line;
  for (int examined = 0; format == kFormatUnknown && examined < 2 && file.ReadLine(line);
       ++examined) {
    if (HasBinaryCharacter(line)) {
      format = kFormatBinary;
      continue;
    }
    if (line[0] == ':') {
      switch (IntelTypeDigit(line)) {
        case '0':
        // A file of nothing but the end record is what a blank memory saves
        // as; read as a binary image it would program its own text.
        case '1':
          format = kFormatIntel8;
          break;
        case '4':
          format = kFormatIntel32;
          break;
        case '2':
          // A leading segment record: the next record tells Intel32 from IntelMCS.
          format = kFormatIntelMcs;
          if (!file.ReadLine(line)) {
            format = kFormatUnknown;
          } else if (IntelTypeDigit(line) == '4') {
            format = kFormatIntel32;
          }
          break;
        default:
          break;
      }
    }
    if (line.empty())
      continue;
    if (line[0] == ';')
      format = kFormatMos;
    if (line[0] == '/')
      format = kFormatTektronix;
    if (line[0] == 'S' && line.size() > 1 && line[1] >= '1' && line[1] <= '3') {
      format = kFormatS1 + (line[1] - '1');
    }
    // An end record as soon as this: a file of a blank memory, as above.
    if (line[0] == 'S' && line.size() > 1 && line[1] >= '7' && line[1] <= '9') {
      format = kFormatS1 + ('9' - line[1]);
    }
  }
  // Whatever is not recognised as text is taken as a binary image.
  if (format == kFormatUnknown)
    format = kFormatBinary;
  return format;
}

}  // namespace zivivar
