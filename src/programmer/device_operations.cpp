#include "programmer/device_operations.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace zivivar {
namespace {

__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

unsigned long Ul(uint32_t value) {
  return value;
}

// The last address a loop over the image may touch, whatever a loader left
// in highest_loaded_address.
uint32_t LastImageAddress(const ImageBuffer& image) {
  return std::min(image.highest_loaded_address, kImageBufferSize - 1);
}

}  // namespace

DeviceOperations::DeviceOperations(PortLink& link, Services& services,
                                   const DeviceDescriptor& device, ImageBuffer& image)
    : link_(link),
      services_(services),
      device_(device),
      image_(image),
      protocol_(link, services, device) {}

uint8_t DeviceOperations::ReadByte(MemoryKind kind, uint32_t address) {
  return kind == kCodeMemory ? protocol_.SPIReadCodeByte(address)
                             : protocol_.SPIReadDataByte(address);
}

uint8_t DeviceOperations::ReadInLoop(MemoryKind kind, uint32_t address) {
  if (profile_ != Profile::kFast || kind != kCodeMemory || device_.spi_mode != kSpiMode4 ||
      !device_.page_read)
    return ReadByte(kind, address);
  const uint32_t start = address - address % kCodePageSize;
  if (address == start || page_start_ != start) {
    protocol_.SPIReadCodePage(start, page_);
    page_start_ = start;
  }
  return page_[address - start];
}

bool DeviceOperations::EepromUnreachable(MemoryKind kind, const char* message) {
  if (kind != kEepromMemory || device_.spi_mode != 4)
    return false;
  services_.ShowMessage(message);
  return true;
}

bool DeviceOperations::SyncFailed() {
  if (!protocol_.sync_failed())
    return false;
  protocol_.LeaveProgrammingMode();
  services_.SetProgress(0);
  return true;
}

bool DeviceOperations::StopAfterByte(int answer) const {
  return answer == kIdCancel || services_.CancelRequested() || link_.link_lost();
}

OperationResult DeviceOperations::BlankCheck() {
  services_.ProgressStart(device_.code_size);
  link_.ResetAdapter();
  services_.EnableCancelButton();
  services_.SetStatus(kBlankCheckCodeStatus);
  protocol_.EnterProgrammingMode();
  // Without the chip's echo every byte would read as an erased one (an
  // empty socket above all): no verdict rather than a false "blank".
  if (SyncFailed())
    return OperationResult::kSyncFailed;

  // The last answer carries over from the code memory to the EEPROM.
  int answer = 0;
  const auto check = [&](MemoryKind kind, uint32_t size, const char* format) {
    for (uint32_t address = 0; address < size; ++address) {
      const uint8_t value = ReadByte(kind, address);
      if (value != kBlankByte && !link_.link_lost()) {
        answer = services_.AskRetryCancel(Format(services_.Translate(format), Ul(address), value));
      }
      services_.ProgressStep();
      if (StopAfterByte(answer))
        break;
    }
  };
  check(kCodeMemory, device_.code_size, kCodeNotBlankFormat);
  if (!StopAfterByte(answer) && device_.eeprom_size != 0) {
    if (EepromUnreachable(kEepromMemory, kSpi4NoDataReadMessage)) {
      protocol_.LeaveProgrammingMode();
      services_.SetProgress(0);
      return OperationResult::kBlankCheckStopped;
    }
    services_.SetProgress(0);
    services_.ProgressStart(device_.eeprom_size);
    services_.SetStatus(kBlankCheckDataStatus);
    check(kEepromMemory, device_.eeprom_size, kDataNotBlankFormat);
  }

  protocol_.LeaveProgrammingMode();
  services_.SetProgress(0);
  if (answer == kIdCancel || link_.link_lost())
    return OperationResult::kBlankCheckStopped;
  if (services_.CancelRequested()) {
    services_.ShowMessage(kBlankCheckCancelledMessage);
    return OperationResult::kBlankCheckStopped;
  }
  if (answer == 0) {
    services_.ShowMessage(kDeviceBlankMessage);
    return OperationResult::kOk;
  }
  return OperationResult::kNotBlank;
}

int DeviceOperations::ConfirmDeviceAction(const std::string& text) {
  return services_.AskOkCancel("*** " + device_.device_name + " ***\n\n" +
                               services_.Translate(text) +
                               services_.Translate("\n\nISP-Adapter in Sockel 1 einsetzen.\n"));
}

OperationResult DeviceOperations::EraseDevice() {
  link_.ResetAdapter();
  // Asking about a device the adapter cannot reach would only mislead.
  if (link_.link_lost())
    return OperationResult::kAdapterLost;
  if (ConfirmDeviceAction(kEraseQuestion) == kIdCancel)
    return OperationResult::kEraseDeclined;
  services_.SetStatus(kEraseStatus);
  protocol_.EnterProgrammingMode();
  if (SyncFailed())
    return OperationResult::kSyncFailed;
  protocol_.SPIChipErase();
  protocol_.LeaveProgrammingMode();
  return link_.link_lost() ? OperationResult::kAdapterLost : OperationResult::kOk;
}

OperationResult DeviceOperations::ReadSignature(DeviceSignature& signature) {
  link_.ResetAdapter();
  if (link_.link_lost())
    return OperationResult::kAdapterLost;
  protocol_.EnterProgrammingMode();
  if (SyncFailed())
    return OperationResult::kSyncFailed;
  for (size_t index = 0; index < signature.size(); ++index)
    signature[index] = protocol_.SPIReadSignatureByte(static_cast<uint8_t>(index));
  protocol_.LeaveProgrammingMode();
  return link_.link_lost() ? OperationResult::kAdapterLost : OperationResult::kOk;
}

bool DeviceOperations::StartImageRun(const char* status_format) {
  const uint32_t count = image_.loaded_byte_count;
  const uint32_t highest = image_.highest_loaded_address;
  services_.ProgressStart(highest);
  link_.ResetAdapter();
  services_.EnableCancelButton();
  services_.SetStatus(
      Format(services_.Translate(status_format), Ul(count), Ul(count), Ul(highest), Ul(highest)));
  protocol_.EnterProgrammingMode();
  return !SyncFailed();
}

OperationResult DeviceOperations::ProgramMemory(MemoryKind kind) {
  if (EepromUnreachable(kind, kSpi4NoDataWriteMessage))
    return OperationResult::kProgramStopped;
  const bool code = kind == kCodeMemory;
  if (code) {
    code_image_byte0_ = image_.bytes[0];
    code_image_byte0_kept_ = true;
  }
  if (!StartImageRun(code ? kProgramCodeStatusFormat : kProgramDataStatusFormat))
    return OperationResult::kSyncFailed;
  if (code)
    protocol_.SPIChipErase();

  int answer = 0;
  const uint32_t last = LastImageAddress(image_);
  for (uint32_t address = 0;; ++address) {
    const uint8_t wanted = image_.bytes[address];
    if (wanted != kBlankByte) {
      const uint8_t read = code ? protocol_.SPIWriteCodeByte(address, wanted)
                                : protocol_.SPIWriteDataByte(address, wanted);
      if (read != wanted && !link_.link_lost()) {
        answer = services_.AskRetryCancel(
            Format(services_.Translate(code ? kProgramCodeFaultFormat : kProgramDataFaultFormat),
                   Ul(address), Ul(address), wanted, read));
      }
    }
    services_.ProgressStep();
    if (StopAfterByte(answer) || address >= last)
      break;
  }
  const OperationResult result =
      StopAfterByte(answer) ? OperationResult::kProgramStopped : OperationResult::kOk;

  services_.SetProgress(0);
  protocol_.LeaveProgrammingMode();
  if (link_.link_lost())
    return OperationResult::kProgramStopped;
  if (services_.CancelRequested()) {
    services_.ShowMessage(kProgramCancelledMessage);
    return OperationResult::kProgramStopped;
  }
  return result;
}

OperationResult DeviceOperations::VerifyMemory(MemoryKind kind) {
  if (EepromUnreachable(kind, kSpi4NoDataReadMessage))
    return OperationResult::kVerifyFailed;
  const bool code = kind == kCodeMemory;
  if (!StartImageRun(code ? kVerifyCodeStatusFormat : kVerifyDataStatusFormat))
    return OperationResult::kSyncFailed;

  int answer = 0;
  bool difference = false;
  const uint32_t last = LastImageAddress(image_);
  for (uint32_t address = 0;; ++address) {
    const uint8_t wanted = image_.bytes[address];
    const uint8_t read = ReadInLoop(kind, address);
    if (read != wanted && !link_.link_lost()) {
      difference = true;
      answer = services_.AskRetryCancel(
          Format(services_.Translate(code ? kVerifyCodeFaultFormat : kVerifyDataFaultFormat),
                 Ul(address), Ul(address), wanted, read));
    }
    services_.ProgressStep();
    if (StopAfterByte(answer) || address >= last)
      break;
  }

  protocol_.LeaveProgrammingMode();
  services_.SetProgress(0);
  if (link_.link_lost())
    return OperationResult::kVerifyFailed;
  if (services_.CancelRequested()) {
    services_.ShowMessage(kVerifyCancelledMessage);
    return OperationResult::kVerifyFailed;
  }
  return difference ? OperationResult::kVerifyFailed : OperationResult::kOk;
}

OperationResult DeviceOperations::ReadMemory(MemoryKind kind) {
  if (EepromUnreachable(kind, kSpi4NoDataReadMessage))
    return OperationResult::kEepromUnreachable;
  // The caller entered programming mode; without the echo the bytes are noise.
  if (protocol_.sync_failed())
    return OperationResult::kSyncFailed;
  const uint32_t size = kind == kCodeMemory ? device_.code_size : device_.eeprom_size;
  services_.ProgressStart(size);
  const uint32_t end = std::min(size, kImageBufferSize);
  for (uint32_t address = 0; address < end; ++address) {
    image_.bytes[address] = ReadInLoop(kind, address);
    services_.ProgressStep();
    if (services_.CancelRequested() || link_.link_lost())
      break;
  }
  services_.SetProgress(0);
  return link_.link_lost() ? OperationResult::kAdapterLost : OperationResult::kOk;
}

OperationResult DeviceOperations::ProgramLockBits(const LockOptions& locks) {
  services_.ProgressStart(6);
  services_.SetStatus(kLockBitsStatus);
  protocol_.EnterProgrammingMode();
  if (SyncFailed())
    return OperationResult::kSyncFailed;
  services_.SetProgress(1);
  protocol_.SPIWriteLockBits(locks);
  services_.SetProgress(2);
  protocol_.LeaveProgrammingMode();
  services_.SetProgress(3);

  // With reading locked, code byte 0 no longer reads as what was programmed
  // there. The comparison is with the code image even when the EEPROM image
  // has been loaded since.
  if (!link_.link_lost() && (locks.lock2 != 0 || locks.lock3 != 0)) {
    protocol_.EnterProgrammingMode();
    if (SyncFailed())
      return OperationResult::kSyncFailed;
    services_.SetProgress(4);
    const uint8_t read = protocol_.SPIReadCodeByte(0);
    services_.SetProgress(5);
    protocol_.LeaveProgrammingMode();
    services_.SetProgress(6);
    const uint8_t expected = code_image_byte0_kept_ ? code_image_byte0_ : image_.bytes[0];
    if (read == expected && !link_.link_lost()) {
      services_.ShowMessage(kLockBitsNoEffectMessage);
      services_.SetProgress(0);
      return OperationResult::kLockBitsNoEffect;
    }
  }
  services_.SetProgress(0);
  return link_.link_lost() ? OperationResult::kAdapterLost : OperationResult::kOk;
}

}  // namespace zivivar
