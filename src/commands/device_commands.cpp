#include "commands/device_commands.h"

#include <functional>

#include "datafiles/data_files.h"
#include "datafiles/device_readout.h"
#include "programmer/device_operations.h"

namespace zivivar {
namespace {

// Around the work of every device command, so that a reconnected adapter
// gets its chance with every command and its loss is told once per command.
CommandResult RunInFrame(const CommandContext& context,
                         const std::function<CommandResult()>& work) {
  PortLink& link = context.link;
  link.ClearLinkLost();
  link.RaisePriority(context.os_kind);
  CommandResult result = work();
  link.RestorePriority();
  if (link.link_lost())
    result = CommandResult::kAdapterLost;
  if (context.after_work)
    context.after_work();
  return result;
}

// The device operations seen as the steps that saving read-out data frames.
class OperationsReadout : public DeviceReadout {
 public:
  OperationsReadout(PortLink& link, DeviceOperations& operations)
      : link_(link), operations_(operations) {}
  void ResetAdapter() override { link_.ResetAdapter(); }
  void EnterProgrammingMode() override { operations_.protocol().EnterProgrammingMode(); }
  int ReadMemory(MemoryKind kind) override { return operations_.ReadMemory(kind); }
  void LeaveProgrammingMode() override { operations_.protocol().LeaveProgrammingMode(); }

 private:
  PortLink& link_;
  DeviceOperations& operations_;
};

// Program (when program) or verify: one memory after the other, then the
// lock bits and the closing message.
FileCommandResult ProgramOrVerify(const CommandContext& context, const DeviceDescriptor& device,
                                  bool program, const ProgramArgs& args) {
  FileCommandResult outcome;
  outcome.result = RunInFrame(context, [&] {
    DeviceOperations operations(context.link, context.services, device, context.image);
    int data_format = kFormatUnknown;
    DataFiles files(context.image, context.services, device, data_format);
    const bool verify = !program || args.verify;
    auto lost = [&] { return context.link.link_lost(); };

    // One memory: load its file, program it, compare it.
    auto run = [&](const std::string& path, MemoryKind kind) {
      const int loaded = files.LoadDataFile(path, kind, args.file_options);
      outcome.data_format = data_format;
      if (loaded != kLoadOk)
        return FromLoadResult(loaded);
      int result = kOperationOk;
      if (program)
        result = operations.ProgramMemory(kind);
      if (result == kOperationOk && verify)
        result = operations.VerifyMemory(kind);
      return FromOperationResult(result);
    };

    const CommandResult code = run(args.path, kCodeMemory);
    if (lost())
      return CommandResult::kAdapterLost;
    // The EEPROM runs whatever became of the code memory. After a click on
    // "Abbrechen" the flag is still set, so it stops after its first byte.
    CommandResult eeprom = CommandResult::kOk;
    if (args.eeprom_path)
      eeprom = run(*args.eeprom_path, kEepromMemory);
    if (lost())
      return CommandResult::kAdapterLost;
    if (code != CommandResult::kOk)
      return code;
    if (eeprom != CommandResult::kOk)
      return eeprom;

    if (!program) {
      context.services.ShowMessage(kVerifyOkMessage);
      return CommandResult::kOk;
    }
    const LockOptions& locks = args.locks;
    if (locks.lock1 > 0 || locks.lock2 > 0 || locks.lock3 > 0) {
      const int locked = operations.ProgramLockBits(locks);
      operations.protocol().LeaveProgrammingMode();
      if (locked == kOperationOk && !lost())
        context.services.ShowMessage(kProgramLockedMessage);
      return FromOperationResult(locked);
    }
    context.services.ShowMessage(kProgramOkMessage);
    return CommandResult::kOk;
  });
  return outcome;
}

}  // namespace

void FinishCommand(Services& services) {
  services.DisableCancelButton();
  services.ClearCancel();
  services.SetStatus(kIdleStatus);
}

CommandResult BlankCheck(const CommandContext& context, const DeviceDescriptor& device) {
  return RunInFrame(context, [&] {
    DeviceOperations operations(context.link, context.services, device, context.image);
    return FromOperationResult(operations.BlankCheck());
  });
}

CommandResult Erase(const CommandContext& context, const DeviceDescriptor& device) {
  return RunInFrame(context, [&] {
    DeviceOperations operations(context.link, context.services, device, context.image);
    // A declined erase is not followed by the blank check.
    int erased = operations.EraseDevice();
    if (erased == kOperationOk && !context.link.link_lost())
      erased = operations.BlankCheck();
    return FromOperationResult(erased);
  });
}

FileCommandResult Program(const CommandContext& context, const DeviceDescriptor& device,
                          const ProgramArgs& args) {
  return ProgramOrVerify(context, device, true, args);
}

FileCommandResult Verify(const CommandContext& context, const DeviceDescriptor& device,
                         const VerifyArgs& args) {
  ProgramArgs program_args;
  program_args.path = args.path;
  program_args.eeprom_path = args.eeprom_path;
  program_args.file_options = args.file_options;
  return ProgramOrVerify(context, device, false, program_args);
}

CommandResult ReadOut(const CommandContext& context, const DeviceDescriptor& device,
                      const ReadOutArgs& args) {
  return RunInFrame(context, [&] {
    DeviceOperations operations(context.link, context.services, device, context.image);
    OperationsReadout readout(context.link, operations);
    int data_format = args.format;
    DataFiles files(context.image, context.services, device, data_format);
    auto lost = [&] { return context.link.link_lost(); };
    int result = files.SaveMemoryToFile(args.path, kCodeMemory, args.file_options, readout);
    if (result == kSaveOk && !lost() && args.eeprom_path)
      result = files.SaveMemoryToFile(*args.eeprom_path, kEepromMemory, args.file_options, readout);
    if (result == kSaveOk && !lost())
      context.services.ShowMessage(kReadOutSavedMessage);
    return FromSaveResult(result);
  });
}

}  // namespace zivivar
