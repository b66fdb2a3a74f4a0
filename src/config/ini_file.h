// An INI file held in memory line by line, read and changed with the rules of
// the Windows private-profile functions, so that a file written there reads
// the same here: section and key names match without regard to case, keys
// and values are trimmed, a value in matching quotes loses them, the first of
// two equal keys counts. Changing a value touches only that line; a missing
// key goes to the end of its section, a missing section to the end of the
// file; every other line, comments and unknown keys included, stays as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zivivar {

class IniFile {
 public:
  // An empty document; lines added to it end in CR LF.
  IniFile() = default;

  // Takes the contents of a file. Line ends (LF or CR LF) are kept per line,
  // and new lines get the ending of the file's first line.
  static IniFile Parse(std::string_view contents);

  // The value of key in section, or nothing when either is missing. A line
  // "key" without an equals sign is no key.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // As GetPrivateProfileString: the value, or fallback when the key is missing.
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view fallback) const;
  // As GetPrivateProfileInt: the value read as a decimal integer with an
  // optional sign, up to its first non-digit (no digits give 0, more than 32
  // bits wrap); fallback when the key is missing or its value is empty.
  int32_t GetInt(std::string_view section, std::string_view key, int32_t fallback) const;

  // As WritePrivateProfileString: sets key in section to value.
  void SetString(std::string_view section, std::string_view key, std::string_view value);

  // The document as file contents.
  std::string Contents() const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\n", "\r\n" or "" (last line without one)
  };
  // Index of the first section header named section, or npos.
  size_t FindSection(std::string_view section) const;
  // Index of the first line of key within section, or npos.
  size_t FindKey(std::string_view section, std::string_view key) const;
  // First line after the section header at index header that belongs to the next section.
  size_t SectionEnd(size_t header) const;
  void InsertLine(size_t index, std::string text);

  std::vector<Line> lines_;
  std::string new_line_end_ = "\r\n";
};

// Reads the file at path into file. Returns 0; ENOENT for a missing file
// (file is then an empty document); or the result of ReadFileContents
// (file_contents.h) for another failure, a file longer than limit included.
int ReadIniFile(const std::string& path, size_t limit, IniFile& file);

}  // namespace zivivar
