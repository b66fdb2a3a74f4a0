// The jobs behind the device buttons and the command-line commands: blank
// check, erase, program, verify and read out. Each takes its inputs as
// arguments, runs inside the device frame (the link's lost state cleared,
// the process priority raised, the after-work hook) and returns a
// CommandResult. The device is the descriptor loaded for this command, a
// value. Questions in the middle of a job (Retry/Cancel on a faulty byte,
// the erase question) go through the services; the messages are the
// system's own, shown in the same order as ever.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "commands/command_context.h"
#include "commands/command_result.h"
#include "datafiles/data_format.h"
#include "library/device_descriptor.h"
#include "programmer/spi_protocol.h"

namespace zivivar {

inline constexpr char kProgramOkMessage[] = "Keine Fehler beim prüfen\n";
inline constexpr char kProgramLockedMessage[] = "Keine Fehler beim prüfen\n\nLockbits sind aktiv.";
inline constexpr char kVerifyOkMessage[] = "Keine Fehler beim Prüfen";
inline constexpr char kReadOutSavedMessage[] = "\nProzessor-Programm gespeichert \n";

// What a job found in a data file it loaded: the recognised format, the data
// bytes and the range from the first to the last address that holds data.
struct LoadedFile {
  int format = kFormatUnknown;
  uint32_t bytes = 0;
  uint32_t first_address = 0;  // the first non-blank byte (0 when all are blank)
  uint32_t last_address = 0;
  // Taken as a binary image although every byte is printable text: most
  // likely a text file in no format the system knows.
  bool text_as_binary = false;
};

// The description of the file just loaded into image, whose memory holds
// memory_size bytes.
LoadedFile DescribeLoadedFile(const ImageBuffer& image, int format, uint32_t memory_size);

// Called after each data file is loaded, before the device is touched for
// it. False when the user stopped the run meanwhile (Ctrl-C while a pipe was
// read): the job then ends at once with kInterrupted, the chip untouched
// by this file.
using FileLoadedHook = std::function<bool(MemoryKind kind, const LoadedFile& file)>;

struct ProgramArgs {
  std::string path;                        // the data file for the code memory
  std::optional<std::string> eeprom_path;  // the EEPROM's data file, or none
  bool verify = true;                      // compare each memory after programming it
  LockOptions locks;                       // lock bits to program after a clean run
  DataFileOptions file_options;
  FileLoadedHook file_loaded = {};  // may be empty
};

struct VerifyArgs {
  std::string path;
  std::optional<std::string> eeprom_path;
  DataFileOptions file_options;
  FileLoadedHook file_loaded = {};  // may be empty
};

struct ReadOutArgs {
  std::string path;                        // the code memory goes here
  std::optional<std::string> eeprom_path;  // the EEPROM here, in the same format; or not at all
  int format = kFormatBinary;              // DataFormat 1 to 9
  DataFileOptions file_options;
  // Set: the code memory's data goes to this stream, after the EEPROM's file
  // is in place, and path only names it in messages.
  std::ostream* code_stream = nullptr;
};

// Program and verify load data files: the format recognised in the last one
// that was looked at (kFormatUnknown when it could not be opened), or none
// when the command ended before loading.
struct FileCommandResult {
  CommandResult result = CommandResult::kOk;
  std::optional<int> data_format;
  // Each memory's file as loaded, when its load succeeded.
  std::optional<LoadedFile> code = {};
  std::optional<LoadedFile> eeprom = {};
};

// The code memory, then the EEPROM; "blank" message when all is blank.
CommandResult BlankCheck(const CommandContext& context, const DeviceDescriptor& device);
// Asks first; after an erase the blank check.
CommandResult Erase(const CommandContext& context, const DeviceDescriptor& device);
// Per memory (code, then the EEPROM when a file is given for it): load its
// file, program it, verify it when asked. The EEPROM runs whatever became of
// the code memory. Then the lock bits when any is chosen, and the message.
FileCommandResult Program(const CommandContext& context, const DeviceDescriptor& device,
                          const ProgramArgs& args);
// As Program without the writing and the lock bits.
FileCommandResult Verify(const CommandContext& context, const DeviceDescriptor& device,
                         const VerifyArgs& args);
// Reads the code memory into path, then the EEPROM into eeprom_path; a file
// is replaced only when complete.
CommandResult ReadOut(const CommandContext& context, const DeviceDescriptor& device,
                      const ReadOutArgs& args);

}  // namespace zivivar
