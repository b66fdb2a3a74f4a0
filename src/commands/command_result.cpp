#include "commands/command_result.h"

#include "datafiles/data_format.h"
#include "library/device_library.h"
#include "programmer/device_operations.h"
#include "programmer/port_link.h"

namespace zivivar {

const char* CommandResultText(CommandResult result) {
  switch (result) {
    case CommandResult::kOk:
      return "success";
    case CommandResult::kDemoMode:
      return "no port access (demo mode)";
    case CommandResult::kBusy:
      return "another copy is running a device command";
    case CommandResult::kCancelled:
      return "cancelled";
    case CommandResult::kDeviceNotLoaded:
      return "device not loaded from the library";
    case CommandResult::kFileNotLoaded:
      return "data file not loaded";
    case CommandResult::kFileNotSaved:
      return "data file not saved";
    case CommandResult::kDeviceNotBlank:
      return "device not blank";
    case CommandResult::kBlankCheckAborted:
      return "blank check stopped";
    case CommandResult::kVerifyNotPassed:
      return "verify failed";
    case CommandResult::kProgrammingFailed:
      return "programming failed";
    case CommandResult::kLocksIneffective:
      return "lock bits without effect";
    case CommandResult::kEraseNotConfirmed:
      return "erase declined";
    case CommandResult::kEepromNotReachable:
      return "EEPROM not reachable in this instruction format";
    case CommandResult::kNoAdapter:
      return "adapter not found";
    case CommandResult::kAdapterLost:
      return "adapter stopped answering";
    case CommandResult::kNoChipAnswer:
      return "no chip answered";
    case CommandResult::kSimStateUnusable:
      return "the simulator's state file holds no chip state (left as it is)";
    case CommandResult::kSimStateNotSaved:
      return "the simulated chip could not be saved";
    case CommandResult::kOutputExists:
      return "output file exists (--no-clobber)";
    case CommandResult::kSignatureMismatch:
      return "the chip's signature names another device";
    case CommandResult::kInterrupted:
      return "interrupted";
  }
  return "unknown result";
}

CommandResult FromLibraryResult(LibraryResult result) {
  return result == LibraryResult::kOk ? CommandResult::kOk : CommandResult::kDeviceNotLoaded;
}

CommandResult FromOperationResult(OperationResult result) {
  switch (result) {
    case OperationResult::kOk:
      return CommandResult::kOk;
    case OperationResult::kNotBlank:
      return CommandResult::kDeviceNotBlank;
    case OperationResult::kBlankCheckStopped:
      return CommandResult::kBlankCheckAborted;
    case OperationResult::kVerifyFailed:
      return CommandResult::kVerifyNotPassed;
    case OperationResult::kProgramStopped:
      return CommandResult::kProgrammingFailed;
    case OperationResult::kLockBitsNoEffect:
      return CommandResult::kLocksIneffective;
    case OperationResult::kEraseDeclined:
      return CommandResult::kEraseNotConfirmed;
    case OperationResult::kEepromUnreachable:
      return CommandResult::kEepromNotReachable;
    case OperationResult::kSyncFailed:
      return CommandResult::kNoChipAnswer;
    case OperationResult::kAdapterLost:
      break;
  }
  return CommandResult::kAdapterLost;
}

CommandResult FromLoadResult(LoadResult result) {
  return result == LoadResult::kOk ? CommandResult::kOk : CommandResult::kFileNotLoaded;
}

CommandResult FromSaveResult(SaveResult result) {
  return result == SaveResult::kOk ? CommandResult::kOk : CommandResult::kFileNotSaved;
}

CommandResult FromLinkResult(LinkResult result) {
  switch (result) {
    case LinkResult::kOk:
      return CommandResult::kOk;
    case LinkResult::kAdapterNotFound:
      return CommandResult::kNoAdapter;
    case LinkResult::kHandshakeTimeout:
      break;
  }
  return CommandResult::kAdapterLost;
}

}  // namespace zivivar
