#include "config/ini_file.h"

#include <cerrno>

#include "common/file_contents.h"

namespace zivivar {

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i]))
      return false;
  }
  return true;
}

// What one line of the file is, seen through the profile rules.
struct LineView {
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed, quotes still on
  size_t value_start = 0;  // offset of the value's first character in the line
};

LineView Classify(std::string_view text, bool first_line) {
  LineView view;
  size_t offset = 0;
  // Editors on Windows like to start a file with a UTF-8 byte order mark.
  if (first_line && text.substr(0, 3) == "\xEF\xBB\xBF")
    offset = 3;
  while (offset < text.size() && IsBlank(text[offset]))
    ++offset;
  const std::string_view rest = text.substr(offset);
  if (rest.empty() || rest.front() == ';' || rest.front() == '#')
    return view;
  if (rest.front() == '[') {
    const size_t close = rest.rfind(']');
    if (close != std::string_view::npos) {
      view.kind = LineView::kSection;
      view.name = Trim(rest.substr(1, close - 1));
      return view;
    }
  }
  const size_t equals = rest.find('=');
  if (equals == std::string_view::npos)
    return view;
  view.kind = LineView::kKey;
  view.name = Trim(rest.substr(0, equals));
  size_t start = offset + equals + 1;
  while (start < text.size() && IsBlank(text[start]))
    ++start;
  view.value_start = start;
  view.value = Trim(text.substr(start));
  return view;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

IniFile IniFile::Parse(std::string_view contents) {
  IniFile file;
  bool end_known = false;
  while (!contents.empty()) {
    const size_t lf = contents.find('\n');
    Line line;
    if (lf == std::string_view::npos) {
      line.text = std::string(contents);
      contents = {};
    } else {
      const bool crlf = lf > 0 && contents[lf - 1] == '\r';
      line.text = std::string(contents.substr(0, crlf ? lf - 1 : lf));
      line.end = crlf ? "\r\n" : "\n";
      contents.remove_prefix(lf + 1);
      if (!end_known) {
        file.new_line_end_ = line.end;
        end_known = true;
      }
    }
    file.lines_.push_back(std::move(line));
  }
  return file;
}

size_t IniFile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const LineView view = Classify(lines_[i].text, i == 0);
    if (view.kind == LineView::kSection && SameName(view.name, section))
      return i;
  }
  return kNone;
}

size_t IniFile::FindKey(std::string_view section, std::string_view key) const {
  bool inside = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const LineView view = Classify(lines_[i].text, i == 0);
    if (view.kind == LineView::kSection) {
      inside = SameName(view.name, section);
    } else if (inside && view.kind == LineView::kKey && SameName(view.name, key)) {
      return i;
    }
  }
  return kNone;
}

size_t IniFile::SectionEnd(size_t header) const {
  for (size_t i = header + 1; i < lines_.size(); ++i) {
    if (Classify(lines_[i].text, false).kind == LineView::kSection)
      return i;
  }
  return lines_.size();
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
  const size_t index = FindKey(section, key);
  if (index == kNone)
    return std::nullopt;
  return std::string(Unquote(Classify(lines_[index].text, index == 0).value));
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
  std::optional<std::string> value = Find(section, key);
  return value ? *value : std::string(fallback);
}

int32_t IniFile::GetInt(std::string_view section, std::string_view key, int32_t fallback) const {
  const std::optional<std::string> value = Find(section, key);
  if (!value || value->empty())
    return fallback;
  std::string_view text = *value;
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  uint32_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      break;
    number = number * 10u + static_cast<uint32_t>(c - '0');
  }
  if (negative)
    number = 0u - number;
  return static_cast<int32_t>(number);
}

void IniFile::InsertLine(size_t index, std::string text) {
  // A last line without its end gets one before anything follows it.
  if (index > 0 && lines_[index - 1].end.empty())
    lines_[index - 1].end = new_line_end_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index),
                Line{std::move(text), new_line_end_});
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  const size_t index = FindKey(section, key);
  if (index != kNone) {
    Line& line = lines_[index];
    const LineView view = Classify(line.text, index == 0);
    if (Unquote(view.value) == value)
      return;  // leave the line exactly as it was
    line.text = line.text.substr(0, view.value_start) + std::string(value);
    return;
  }
  std::string key_line = std::string(key) + "=" + std::string(value);
  const size_t header = FindSection(section);
  if (header == kNone) {
    if (!lines_.empty() && !Trim(lines_.back().text).empty())
      InsertLine(lines_.size(), "");
    std::string header_line = "[";
    header_line.append(section).append("]");
    InsertLine(lines_.size(), std::move(header_line));
    InsertLine(lines_.size(), std::move(key_line));
    return;
  }
  // After the section's last key or other content, so that blank lines and
  // comments in front of the next section stay with it.
  size_t insert_at = header + 1;
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    const std::string_view text = Trim(lines_[i].text);
    if (!text.empty() && text.front() != ';' && text.front() != '#')
      insert_at = i + 1;
  }
  InsertLine(insert_at, std::move(key_line));
}

std::string IniFile::Contents() const {
  std::string contents;
  for (const Line& line : lines_) {
    contents += line.text;
    contents += line.end;
  }
  return contents;
}

int ReadIniFile(const std::string& path, size_t limit, IniFile& file) {
  file = IniFile();
  std::string contents;
  if (const int error = ReadFileContents(path, &contents, limit); error != 0)
    return error;
  file = IniFile::Parse(contents);
  return 0;
}

}  // namespace zivivar
