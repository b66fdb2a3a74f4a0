#include "datafiles/record_lines.h"

#include <algorithm>
#include <cstdio>

namespace zivivar {

uint32_t EffectiveLineLength(const DataFileOptions& options, const RecordLineLayout& layout) {
  return std::clamp<uint32_t>(options.hex_line_len, 1, layout.MaxLineBytes());
}

bool WriteRecordLines(const uint8_t* data, uint32_t start, uint32_t count,
                      const DataFileOptions& options, RecordLineLayout& layout, std::string& out,
                      uint32_t* refused_address) {
  const uint32_t line_length = EffectiveLineLength(options, layout);
  uint32_t address = start;
  uint32_t position = 0;
  uint32_t remaining = count;
  do {
    const uint32_t n = std::min(remaining, line_length);
    const uint8_t* line = data + position;
    const auto blanks = static_cast<uint32_t>(std::count(line, line + n, kBlankByte));
    if (blanks < line_length || options.ff_save) {
      if (!layout.AppendLine(out, address, line, n)) {
        if (refused_address != nullptr) {
          *refused_address = std::max(address, k16BitAddressLimit + 1);
        }
        return false;
      }
    }
    address += line_length;
    position += line_length;
    remaining = remaining > line_length ? remaining - line_length : 0;
  } while (remaining != 0);
  return true;
}

void AppendHex(std::string& out, uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  // Formed right to left in a small buffer and appended at once: this runs
  // for every byte written.
  char text[8];
  const int count = digits < 0 ? 0 : (digits > 8 ? 8 : digits);
  for (int i = count - 1; i >= 0; --i) {
    text[i] = kDigits[value & 0xF];
    value >>= 4;
  }
  out.append(text, static_cast<size_t>(count));
}

uint32_t AppendHexBytes(std::string& out, const uint8_t* data, uint32_t n) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  // The text grows once per record, not once per digit.
  const size_t at = out.size();
  out.resize(at + 2 * static_cast<size_t>(n));
  char* text = out.data() + at;
  uint32_t sum = 0;
  for (uint32_t i = 0; i < n; ++i) {
    text[2 * i] = kDigits[data[i] >> 4];
    text[2 * i + 1] = kDigits[data[i] & 0xF];
    sum += data[i];
  }
  return sum;
}

void ReportAddressBeyondFormat(Services& services, int format, uint32_t address) {
  char text[400];
  std::snprintf(text, sizeof text,
                services.Translate(
                    "Daten ab Adresse 0x%05lX passen nicht in das Format\n%s (nur Adressen bis "
                    "0xFFFF) !\n\nSpeichervorgang abgebrochen.\n\nDiese Daten lassen sich "
                    "speichern als\nBinär, Intel8, Intel32, IntelMCS,\nMotorola S2 Exormax oder "
                    "Motorola S3 32Bit."),
                static_cast<unsigned long>(address), DataFormatName(format));
  services.ShowMessage(text);
}

}  // namespace zivivar
