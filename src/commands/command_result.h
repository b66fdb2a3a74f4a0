// The outcome of a command, one value per meaning. The layers below report
// small numbers of their own (which overlap between layers); the commands
// turn each into one of these where it arises, so that a caller can tell a
// declined overwrite from a file that could not be loaded.
#pragma once

namespace zivivar {

enum class LibraryResult;
enum class LinkResult;
enum class LoadResult;
enum class SaveResult;
enum class OperationResult;

// The numbers are the system's result numbers, which the operation log and
// the command line's exit status show.
enum class CommandResult {
  kOk = 0,
  kFileNotLoaded = 3,        // a data file could not be loaded
  kFileNotSaved = 4,         // a data file could not be written
  kBlankCheckAborted = 5,    // the blank check was cancelled
  kVerifyNotPassed = 6,      // differences, or the verify was cancelled
  kProgrammingFailed = 7,    // a faulty byte answered Cancel, or the programming was cancelled
  kNoAdapter = 8,            // the adapter did not answer its detection
  kAdapterLost = 10,         // the adapter stopped answering during the command
  kNoChipAnswer = 11,        // mode 4: no echo to programming enable; nothing read or written
  kDeviceNotBlank = 12,      // the blank check found data
  kDeviceNotLoaded = 13,     // the selected device could not be read from the library
  kCancelled = 14,           // a file dialog or the replace question was answered Cancel
  kLocksIneffective = 15,    // code byte 0 still readable after the lock bits
  kEraseNotConfirmed = 20,   // the erase question was answered Cancel
  kDemoMode = 21,            // refused with the demo message: no port access
  kBusy = 22,                // refused: a device command is running here or in another copy
  kSimStateUnusable = 23,    // the simulator's state file holds no chip state; it is left alone
  kSimStateNotSaved = 24,    // the simulated chip could not be written to its state file
  kEepromNotReachable = 25,  // the library gives a mode-4 device an EEPROM
  kOutputExists = 26,        // the output file exists and may not be replaced (--no-clobber)
  kSignatureMismatch = 27,   // the chip's signature names another part; nothing was changed
  kInterrupted = 130,        // stopped by the user (Ctrl-C); the adapter was left safe
};

inline int ResultNumber(CommandResult result) {
  return static_cast<int>(result);
}

// A short English phrase for the command line ("data file not loaded").
const char* CommandResultText(CommandResult result);

// The results of the layers below, each read as the layer means it.
CommandResult FromLibraryResult(LibraryResult result);      // DeviceLibrary, DeviceSelection
CommandResult FromOperationResult(OperationResult result);  // DeviceOperations
CommandResult FromLoadResult(LoadResult result);            // DataFiles::LoadDataFile
CommandResult FromSaveResult(SaveResult result);  // DataFiles::WriteDataFile, SaveMemoryToFile
CommandResult FromLinkResult(LinkResult result);  // PortLink

}  // namespace zivivar
