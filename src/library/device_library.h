// The device library "VOZ8051.CSV": a read-only text file that lists the
// manufacturers and, under each, the devices with their programming
// parameters. DeviceLibrary walks its lines and turns device records into the
// run's one DeviceDescriptor. One instance for the run, used from one thread.
//
// File format, one manufacturer or device per line, each line ending in its
// activity flag (library_line.h):
//   :Manufacturer;Y
//   name;DIP40;mV;write us;erase us;r;r;r;r;r;r;code bytes;EEPROM bytes;lock bits;mode;Y
// Numbers are C integer literals (0x.. hexadecimal, leading 0 octal). The six
// reserved fields r must be present and are not read. An optional sixteenth
// field before the flag holds words separated by blanks: PAGE (page-mode
// read) and the signature as six hex digits (1E5206); other words are ignored.
#pragma once

#include <cstdint>
#include <string>

#include "common/text_reader.h"
#include "library/device_descriptor.h"
#include "services/services.h"

namespace zivivar {

// Results of the device library.
enum class LibraryResult {
  kOk = 0,
  kFailed = 13,         // not opened, not found, or a field missing
  kEnd = 16,            // no further entry
  kInvalidRecord = 19,  // a field value is refused; its message was shown
};

inline constexpr char kLibraryFileName[] = "VOZ8051.CSV";
inline constexpr char kLibraryOpenFailedMessage[] = "Kann Bauteilbibliothek nicht öffnen !";
inline constexpr char kManufacturerNotFoundMessage[] = "Hersteller in Bibliothek nicht gefunden !";
inline constexpr char kLibraryTooLargeMessage[] = "Bauteilbibliothek ist größer als 1 MByte !";
inline constexpr char kLibraryEmptyMessage[] = "Bauteilbibliothek ist leer !";
inline constexpr char kNoActiveManufacturerMessage[] =
    "Kein aktiver Hersteller in der Bauteilbibliothek !";
// The library is a short text file; a longer one is not read.
inline constexpr size_t kMaxLibrarySize = size_t{1} << 20;

inline constexpr char kPackageDip40[] = "DIP40";
inline constexpr uint32_t kMaxProgrammingVoltage = 12750;  // millivolts; supply code 255
inline constexpr uint32_t kSupplyStep = 50;                // millivolts per supply code step
inline constexpr uint8_t kMaxLockBits = 3;

class DeviceLibrary {
 public:
  // services must outlive the library. directory is the directory of the
  // settings file, where the library lies ("" for the working directory).
  DeviceLibrary(Services& services, const std::string& directory);
  DeviceLibrary(const DeviceLibrary&) = delete;
  DeviceLibrary& operator=(const DeviceLibrary&) = delete;

  void SetDirectory(const std::string& directory);
  // The library's full path, quoted by the validation messages.
  const std::string& path() const { return path_; }

  // Opens the library at its first line (closing it first if it is open).
  // LibraryResult::kOk, or LibraryResult::kFailed after "Kann Bauteilbibliothek nicht öffnen !"
  // (also for a directory, a FIFO or a device) or kLibraryTooLargeMessage.
  LibraryResult OpenLibrary();
  // Closes the file if it is open. Every user of the library closes it before
  // it returns, so nothing stays open between user actions.
  void CloseLibrary();
  bool IsOpen() const { return reader_.IsOpen(); }

  // Reads on to the active manufacturer line number index (counted from 0),
  // so that the next line read is the first of its block. LibraryResult::kOk, or
  // LibraryResult::kFailed after "Hersteller in Bibliothek nicht gefunden !" when
  // the file ends first.
  LibraryResult FindManufacturer(int32_t index);
  // Reads on to the next active manufacturer line and gives its name.
  // LibraryResult::kOk or LibraryResult::kEnd.
  LibraryResult NextManufacturer(std::string& name);
  // Reads on to the next active device line of the current block and parses
  // it (the result of ParseDeviceRecord). LibraryResult::kEnd at the end of the file
  // or at a line beginning with a colon, active or not, which is consumed.
  LibraryResult NextDevice(uint32_t timebase_korr);

  // Parses one active device line into the descriptor, field by field in file
  // order; a failing record leaves the fields before the failure overwritten,
  // so the descriptor is only valid after LibraryResult::kOk. Waits over 1 us are
  // converted into counts with timebase_korr (the TimeBaseKorr in force).
  // LibraryResult::kOk; LibraryResult::kFailed without a message when a field is missing;
  // LibraryResult::kInvalidRecord after the message that names the refused value.
  LibraryResult ParseDeviceRecord(const std::string& line, uint32_t timebase_korr);
  // Cuts the next field of the record being parsed: the text up to the next
  // semicolon, which must stand before the activity flag. LibraryResult::kOk or
  // LibraryResult::kFailed (field missing).
  LibraryResult NextField(std::string& field);

  // Reads the next line, at most 1023 characters, into current_line().
  // False at the end of the file (or when the library is not open).
  bool ReadLine();
  // True when the last read stopped at a read error or at kMaxLibrarySize
  // rather than at the end of the file.
  bool ReadFailed() const { return reader_.Failed(); }
  const std::string& current_line() const { return line_; }
  // Number of the current line, counted from 1 at the first read after
  // OpenLibrary (a line too long for one read counts once per read).
  int line_number() const { return line_number_; }

  const DeviceDescriptor& descriptor() const { return descriptor_; }

 private:
  void Refuse(const std::string& text) { services_.ShowMessage(text); }

  Services& services_;
  std::string path_;
  TextReader reader_;
  std::string line_;
  int line_number_ = 0;
  // The record being parsed, the scan position and the flag's position,
  // beyond which no field may reach.
  std::string record_;
  size_t position_ = 0;
  size_t limit_ = 0;
  DeviceDescriptor descriptor_;
};

}  // namespace zivivar
