// The outcome of a command, one value per meaning. The layers below report
// small numbers of their own (which overlap between layers); the commands
// turn each into one of these where it arises, so that a caller can tell a
// declined overwrite from a file that could not be loaded.
#pragma once

namespace zivivar {

enum class CommandResult {
  kOk,
  kDemoMode,            // refused with the demo message: no port access
  kBusy,                // refused: a device command is running here or in another copy
  kCancelled,           // a file dialog or the replace question was answered Cancel
  kDeviceNotLoaded,     // the selected device could not be read from the library
  kFileNotLoaded,       // a data file could not be loaded
  kFileNotSaved,        // a data file could not be written
  kDeviceNotBlank,      // the blank check found data
  kBlankCheckAborted,   // the blank check was cancelled
  kVerifyNotPassed,     // differences, or the verify was cancelled
  kProgrammingFailed,   // a faulty byte answered Cancel, or the programming was cancelled
  kLocksIneffective,    // code byte 0 still readable after the lock bits
  kEraseNotConfirmed,   // the erase question was answered Cancel
  kEepromNotReachable,  // the library gives a mode-4 device an EEPROM
  kNoAdapter,           // the adapter did not answer its detection
  kAdapterLost,         // the adapter stopped answering during the command
};

// A short English phrase for the command line ("data file not loaded").
const char* CommandResultText(CommandResult result);

// The results of the layers below, each read as the layer means it.
CommandResult FromLibraryResult(int result);    // DeviceLibrary, DeviceSelection
CommandResult FromOperationResult(int result);  // DeviceOperations
CommandResult FromLoadResult(int result);       // DataFiles::LoadDataFile
CommandResult FromSaveResult(int result);       // DataFiles::WriteDataFile, SaveMemoryToFile
CommandResult FromLinkResult(int result);       // PortLink

}  // namespace zivivar
