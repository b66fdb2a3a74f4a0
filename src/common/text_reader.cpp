#include "common/text_reader.h"

#include <cerrno>

namespace zivivar {

TextReader::~TextReader() { Close(); }

int TextReader::Open(const std::string& path) {
  Close();
  errno = 0;
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return errno != 0 ? errno : ENOENT;
  at_end_ = false;
  failed_ = false;
  pending_ = EOF;
  return 0;
}

void TextReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

int TextReader::NextChar() {
  if (at_end_ || file_ == nullptr) return EOF;
  int c = pending_;
  pending_ = EOF;
  if (c == EOF) c = std::getc(file_);
  if (c == '\r') {
    const int next = std::getc(file_);
    if (next == '\n') {
      c = '\n';
    } else {
      pending_ = next;
    }
  }
  if (c == EOF || c == 0x1A) {
    if (c == EOF && std::ferror(file_)) failed_ = true;
    at_end_ = true;
    return EOF;
  }
  return c;
}

bool TextReader::ReadLine(std::string& line) {
  line.clear();
  while (line.size() < kLineBufferSize - 1) {
    const int c = NextChar();
    if (c == EOF) break;
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !line.empty();
}

}  // namespace zivivar
