// Line-by-line reading of text files with the rules of the Windows C text
// mode, which the system's files were made for: a carriage return directly
// before a line feed is dropped, and the character 0x1A ends the file.
// Only regular files are read, and no further than a size limit.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace zivivar {

class TextReader {
 public:
  // Size of the line buffer; one read takes at most kLineBufferSize - 1 characters.
  static constexpr size_t kLineBufferSize = 1024;
  // Bytes read from the file at a time.
  static constexpr size_t kBlockSize = 16384;
  // Longest file read unless Open is given another limit; far beyond any
  // hex file of the largest device.
  static constexpr size_t kDefaultLimit = size_t{16} << 20;

  TextReader() = default;
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // Opens the file for reading; returns 0 or the result of OpenRegularFile
  // (file_contents.h): a FIFO or a device is refused, and so is a file
  // already longer than limit. One that grows beyond it while it is read
  // ends there, with Failed() and error() kFileTooLarge.
  int Open(const std::string& path, size_t limit = kDefaultLimit);
  // Reads bytes, which must outlive the reading, as if they were the file's
  // contents: a file that was read once can be read again by line.
  // Returns 0 or the errno of the failure.
  int OpenBytes(std::string_view bytes);
  bool IsOpen() const { return file_ != nullptr; }
  void Close();

  // Reads the next line as fgets does with a 1024-byte buffer: characters up
  // to and including the next line feed, but at most 1023 of them, so a longer
  // line comes back in several pieces. Returns false at the end of the file
  // (or on a read error, see Failed) when nothing was read.
  bool ReadLine(std::string& line);

  // True when a read failed for another reason than the end of the file.
  bool Failed() const { return failed_; }
  // The errno of that failure (EIO when there was none), or kFileTooLarge.
  int error() const { return error_; }

 private:
  int NextChar();            // next character after the text-mode rules, or EOF
  int RawChar();             // next byte of the file, or EOF
  bool Fill();               // reads the next block into the buffer; false when nothing came
  void Start(size_t limit);  // reading state for a stream just opened, held to limit bytes

  std::FILE* file_ = nullptr;
  bool at_end_ = false;
  bool failed_ = false;
  int error_ = 0;
  size_t limit_ = kDefaultLimit;
  size_t total_ = 0;   // bytes read from the file so far
  int pending_ = EOF;  // a character read ahead while looking behind a carriage return
  // The file is read in blocks: lines are taken from here, not byte by byte
  // from the stream.
  std::string buffer_;
  size_t pos_ = 0;
  size_t len_ = 0;
};

}  // namespace zivivar
