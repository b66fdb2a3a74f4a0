#include "common/text_reader.h"

#include <algorithm>
#include <cerrno>

#include "common/file_contents.h"

namespace zivivar {

TextReader::~TextReader() {
  Close();
}

int TextReader::Open(const std::string& path, size_t limit) {
  Close();
  if (const int error = OpenRegularFile(path, limit, &file_); error != 0)
    return error;
  Start(limit);
  return 0;
}

int TextReader::OpenBytes(std::string_view bytes) {
  Close();
  errno = 0;
  // fmemopen refuses an empty buffer; a stream over "\x1A" ends at once as well.
  static constexpr char kEnd[] = "\x1A";
  const std::string_view source = bytes.empty() ? std::string_view(kEnd, 1) : bytes;
  file_ = ::fmemopen(const_cast<char*>(source.data()), source.size(), "rb");
  if (file_ == nullptr)
    return errno != 0 ? errno : ENOMEM;
  Start(source.size());  // the bytes were held to their file's limit when they were read
  return 0;
}

void TextReader::Start(size_t limit) {
  at_end_ = false;
  failed_ = false;
  error_ = 0;
  limit_ = limit;
  total_ = 0;
  pending_ = EOF;
  buffer_.resize(kBlockSize);
  pos_ = 0;
  len_ = 0;
}

void TextReader::Close() {
  if (file_ != nullptr)
    std::fclose(file_);
  file_ = nullptr;
  pos_ = 0;
  len_ = 0;
}

bool TextReader::Fill() {
  pos_ = 0;
  // One byte beyond the limit tells a file that grew after it was opened.
  const size_t want = std::min(buffer_.size(), limit_ + 1 - total_);
  errno = 0;
  len_ = std::fread(buffer_.data(), 1, want, file_);
  total_ += len_;
  if (total_ > limit_) {
    len_ = 0;
    failed_ = true;
    error_ = kFileTooLarge;
  } else if (len_ < want && std::ferror(file_)) {
    failed_ = true;
    error_ = errno != 0 ? errno : EIO;
  }
  return len_ > 0;
}

int TextReader::RawChar() {
  if (pos_ == len_ && !Fill())
    return EOF;
  return static_cast<unsigned char>(buffer_[pos_++]);
}

int TextReader::NextChar() {
  if (at_end_ || file_ == nullptr)
    return EOF;
  int c = pending_;
  pending_ = EOF;
  if (c == EOF)
    c = RawChar();
  if (c == '\r') {
    const int next = RawChar();
    if (next == '\n') {
      c = '\n';
    } else {
      pending_ = next;
    }
  }
  if (c == EOF || c == 0x1A) {
    at_end_ = true;
    return EOF;
  }
  return c;
}

bool TextReader::ReadLine(std::string& line) {
  line.clear();
  constexpr size_t kMaxChars = kLineBufferSize - 1;
  while (line.size() < kMaxChars) {
    // The run of ordinary characters in the buffer is taken at once; the
    // characters that the text-mode rules look at go through NextChar.
    if (pending_ == EOF && !at_end_ && pos_ < len_) {
      const char* run = buffer_.data() + pos_;
      const size_t room = kMaxChars - line.size();
      const size_t available = std::min(room, len_ - pos_);
      size_t n = 0;
      while (n < available && run[n] != '\n' && run[n] != '\r' && run[n] != '\x1A')
        ++n;
      line.append(run, n);
      pos_ += n;
      if (n == room)
        break;
    }
    const int c = NextChar();
    if (c == EOF)
      break;
    line.push_back(static_cast<char>(c));
    if (c == '\n')
      break;
  }
  return !line.empty();
}

}  // namespace zivivar
