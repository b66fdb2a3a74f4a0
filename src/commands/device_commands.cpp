#include "commands/device_commands.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "common/atomic_file.h"
#include "datafiles/data_files.h"
#include "datafiles/device_readout.h"
#include "datafiles/file_errors.h"
#include "programmer/device_operations.h"

namespace zivivar {
namespace {

// What a job may ask of its frame while it works.
struct Frame {
  const CommandContext& context;
  bool chip_kept = false;

  // Keeps the chip now, before a success message that must not appear when
  // the chip cannot be kept.
  CommandResult KeepChip() {
    chip_kept = true;
    return context.keep_chip ? context.keep_chip() : CommandResult::kOk;
  }
  bool LinkLost() const { return context.link.link_lost(); }
};

// Around the work of every device command, so that a reconnected adapter
// gets its chance with every command and its loss is told once per command.
// Work that changes the chip (changes_chip) has it kept at its end unless it
// kept it already; a failed keep turns a success into its failure. Other
// work never rewrites the simulator's state file.
CommandResult RunInFrame(const CommandContext& context, bool changes_chip,
                         const std::function<CommandResult(Frame&)>& work) {
  PortLink& link = context.link;
  link.ClearLinkLost();
  link.RaisePriority(context.os_kind);
  Frame frame{context};
  CommandResult result = work(frame);
  link.RestorePriority();
  if (link.link_lost())
    result = CommandResult::kAdapterLost;
  // A failed or stopped run changed the chip too (an erase at least).
  if (changes_chip && !frame.chip_kept) {
    const CommandResult kept = frame.KeepChip();
    if (result == CommandResult::kOk)
      result = kept;
  }
  return result;
}

// The device operations seen as the steps that saving read-out data frames.
class OperationsReadout : public DeviceReadout {
 public:
  OperationsReadout(PortLink& link, DeviceOperations& operations)
      : link_(link), operations_(operations) {}
  void ResetAdapter() override { link_.ResetAdapter(); }
  void EnterProgrammingMode() override { operations_.protocol().EnterProgrammingMode(); }
  bool ReadMemory(MemoryKind kind) override {
    return operations_.ReadMemory(kind) == OperationResult::kOk;
  }
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
  outcome.result = RunInFrame(context, program, [&](Frame& frame) {
    DeviceOperations operations(context.link, context.services, device, context.image);
    operations.SetProfile(context.profile);
    DataFiles files(context.image, context.services, device);
    const bool verify = !program || args.verify;
    auto lost = [&] { return frame.LinkLost(); };
    bool stopped = false;

    // One memory: load its file, program it, compare it.
    auto run = [&](const std::string& path, MemoryKind kind) {
      const LoadResult loaded = files.LoadDataFile(path, kind, args.file_options);
      outcome.data_format = files.data_format();
      if (loaded != LoadResult::kOk)
        return FromLoadResult(loaded);
      const LoadedFile file =
          DescribeLoadedFile(context.image, files.data_format(), files.MemorySize(kind));
      (kind == kCodeMemory ? outcome.code : outcome.eeprom) = file;
      if (args.file_loaded && !args.file_loaded(kind, file)) {
        stopped = true;
        return CommandResult::kInterrupted;
      }
      OperationResult result = OperationResult::kOk;
      if (program)
        result = operations.ProgramMemory(kind);
      if (result == OperationResult::kOk && verify)
        result = operations.VerifyMemory(kind);
      return FromOperationResult(result);
    };

    const CommandResult code = run(args.path, kCodeMemory);
    if (lost())
      return CommandResult::kAdapterLost;
    if (stopped)
      return code;
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
    const bool lock = locks.lock1 > 0 || locks.lock2 > 0 || locks.lock3 > 0;
    if (lock) {
      const OperationResult locked = operations.ProgramLockBits(locks);
      operations.protocol().LeaveProgrammingMode();
      if (locked != OperationResult::kOk || lost())
        return FromOperationResult(locked);
    }
    if (const CommandResult kept = frame.KeepChip(); kept != CommandResult::kOk)
      return kept;
    context.services.ShowMessage(lock ? kProgramLockedMessage : kProgramOkMessage);
    return CommandResult::kOk;
  });
  return outcome;
}

// Every byte printable or white space (with the text mode's end-of-file mark).
bool LooksLikeText(const uint8_t* bytes, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t byte = bytes[i];
    const bool space = byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f' || byte == 0x1A;
    if (!space && (byte < 0x20 || byte > 0x7E))
      return false;
  }
  return count > 0;
}

}  // namespace

LoadedFile DescribeLoadedFile(const ImageBuffer& image, int format, uint32_t memory_size) {
  LoadedFile file;
  file.format = format;
  file.bytes = image.loaded_byte_count;
  file.last_address = image.highest_loaded_address;
  const uint32_t end = std::min(image.highest_loaded_address + 1, kImageBufferSize);
  for (uint32_t address = 0; address < end; ++address) {
    if (image.bytes[address] != kBlankByte) {
      file.first_address = address;
      break;
    }
  }
  // A binary image lies at address 0 as the file holds it.
  if (format == kFormatBinary) {
    file.text_as_binary = LooksLikeText(
        image.bytes.data(), std::min({image.loaded_byte_count, memory_size, kImageBufferSize}));
  }
  return file;
}

void FinishCommand(Services& services) {
  services.DisableCancelButton();
  services.ClearCancel();
  services.SetStatus(kIdleStatus);
}

CommandResult BlankCheck(const CommandContext& context, const DeviceDescriptor& device) {
  return RunInFrame(context, false, [&](Frame&) {
    DeviceOperations operations(context.link, context.services, device, context.image);
    return FromOperationResult(operations.BlankCheck());
  });
}

CommandResult Erase(const CommandContext& context, const DeviceDescriptor& device) {
  return RunInFrame(context, true, [&](Frame& frame) {
    DeviceOperations operations(context.link, context.services, device, context.image);
    // A declined erase is not followed by the blank check.
    const OperationResult erased = operations.EraseDevice();
    if (erased != OperationResult::kOk || frame.LinkLost())
      return FromOperationResult(erased);
    // The blank check's "erased" is the success message: the chip is kept first.
    if (const CommandResult kept = frame.KeepChip(); kept != CommandResult::kOk)
      return kept;
    return FromOperationResult(operations.BlankCheck());
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
  return RunInFrame(context, false, [&](Frame& frame) {
    std::vector<std::string> targets;
    if (args.code_stream == nullptr)
      targets.push_back(args.path);
    if (args.eeprom_path)
      targets.push_back(*args.eeprom_path);
    for (const std::string& target : targets) {
      if (context.refuse_target && context.refuse_target(target))
        return CommandResult::kFileNotSaved;
    }
    DeviceOperations operations(context.link, context.services, device, context.image);
    operations.SetProfile(context.profile);
    OperationsReadout readout(context.link, operations);
    DataFiles files(context.image, context.services, device, args.format);
    // Code and EEPROM files are written together at the end, or neither is:
    // a new code file beside an old EEPROM file would pass for one read-out.
    std::vector<std::pair<std::string, std::string>> pending;
    std::string streamed;
    bool code_written = false;
    files.SetFileWriter([&](const std::string& path, std::string_view contents) {
      // The first file written is the code memory's.
      if (!code_written && args.code_stream != nullptr)
        streamed = contents;
      else
        pending.emplace_back(path, std::string(contents));
      code_written = true;
      return 0;
    });
    SaveResult result = files.SaveMemoryToFile(args.path, kCodeMemory, args.file_options, readout);
    if (result == SaveResult::kOk && !frame.LinkLost() && args.eeprom_path)
      result = files.SaveMemoryToFile(*args.eeprom_path, kEepromMemory, args.file_options, readout);
    // An empty socket answered nothing: its message was shown, nothing is saved.
    if (result != SaveResult::kOk && operations.protocol().sync_failed())
      return CommandResult::kNoChipAnswer;
    if (result != SaveResult::kOk || frame.LinkLost())
      return FromSaveResult(result);
    std::string failed_path;
    if (const int error = WriteFilesAtomically(pending, &failed_path); error != 0) {
      ReportFileError(context.services, failed_path, error);
      return CommandResult::kFileNotSaved;
    }
    if (args.code_stream != nullptr) {
      args.code_stream->write(streamed.data(), static_cast<std::streamsize>(streamed.size()));
      args.code_stream->flush();
      if (!*args.code_stream) {
        ReportFileError(context.services, args.path, EIO);
        return CommandResult::kFileNotSaved;
      }
    }
    context.services.ShowMessage(kReadOutSavedMessage);
    return CommandResult::kOk;
  });
}

}  // namespace zivivar
