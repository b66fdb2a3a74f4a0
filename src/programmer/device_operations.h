// What the user's commands do to the controller: blank check, erase, program,
// verify, read-out loop and lock bits. Each operation brings the adapter into
// a known state, powers the device, walks its memory byte by byte with
// progress and a Retry/Cancel question per faulty byte, leaves programming
// mode and returns a small result. Every operation reports its own failures
// before it returns; callers test only for OperationResult::kOk.
//
// A lost adapter link (a handshake time-out, PortLink::link_lost()) stops an
// operation after the current byte: it leaves programming mode (which the
// lost link turns into no port access at all), shows nothing further after
// the one time-out message, and returns its failure result.
#pragma once

#include <cstdint>
#include <string>

#include "datafiles/image_buffer.h"
#include "library/device_descriptor.h"
#include "programmer/port_link.h"
#include "programmer/spi_protocol.h"
#include "services/services.h"

namespace zivivar {

// Results of the device operations.
enum class OperationResult {
  kOk,
  kNotBlank,           // BlankCheck: non-blank bytes, all answered Retry
  kBlankCheckStopped,  // BlankCheck: Cancel, cancel button or lost link
  kVerifyFailed,       // VerifyMemory: differences, cancel or lost link
  kProgramStopped,     // ProgramMemory: Cancel, cancel button or lost link
  kLockBitsNoEffect,   // ProgramLockBits: code byte 0 still readable
  kSyncFailed,         // mode 4: no echo to programming enable (no chip)
  kEraseDeclined,      // EraseDevice: the question was answered Cancel
  kEepromUnreachable,  // a mode-4 device listed with a data EEPROM
  kAdapterLost,        // EraseDevice, ReadMemory, ProgramLockBits: the link was lost
};
// Every operation that finds a mode-4 device without its sync echo
// (SpiProtocol::sync_failed, its message shown) leaves programming mode at
// once and returns kSyncFailed: nothing is read, erased or written, since an
// empty socket would read as an erased chip.

// Status texts.
inline constexpr char kBlankCheckCodeStatus[] = "Leertest Codespeicher";
inline constexpr char kBlankCheckDataStatus[] = "Leertest Datenspeicher";
inline constexpr char kEraseStatus[] = "Lösche Controller";
inline constexpr char kLockBitsStatus[] = "Programmiere Lockbits";
// printf formats: bytes loaded and highest address, each in decimal and hex.
inline constexpr char kProgramCodeStatusFormat[] =
    "Programmspeicher Bytes: %lu (0x%lX) bis Adresse: %lu (0x%lX) ";
inline constexpr char kProgramDataStatusFormat[] =
    "EEPROM Bytes: %lu (0x%lX) bis Adresse: %lu (0x%lX) ";
inline constexpr char kVerifyCodeStatusFormat[] =
    "Programmspeicher prüfen Bytes: %lu (0x%lX) bis Adresse: %lu (0x%lX)";
inline constexpr char kVerifyDataStatusFormat[] =
    "EEpromspeicher prüfen Bytes: %lu (0x%lX) bis Adresse: %lu (0x%lX)";

// Messages. The formats take the address (twice where it appears twice) and
// the bytes as unsigned long and unsigned int.
inline constexpr char kCodeNotBlankFormat[] =
    "CodeSpeicher an Adresse 0x%04lX ist nicht leer !\nInhalt 0x%02X\n";
inline constexpr char kDataNotBlankFormat[] =
    "DatenSpeicher an Adresse 0x%04lX ist nicht leer !\nInhalt 0x%02X\n";
inline constexpr char kProgramCodeFaultFormat[] =
    "Programmspeicher\n\nProgrammierfehler an Adresse %lu (0x%lX)\nRichtig: 0x%02X   Gelesen: "
    "0x%02X\n";
inline constexpr char kProgramDataFaultFormat[] =
    "Datenspeicher\n\nProgrammierfehler an Adresse %lu (0x%lX)\nRichtig: 0x%02X   Gelesen: "
    "0x%02X\n";
inline constexpr char kVerifyCodeFaultFormat[] =
    "Programmspeicher Fehler\nan Adresse %lu (0x%lX) !\nRichtig: 0x%02X\nGelesen: 0x%02X\n";
inline constexpr char kVerifyDataFaultFormat[] =
    "EEPROM Fehler an Adresse %lu (0x%lX) !\nRichtig: 0x%02X\nGelesen: 0x%02X\n";
inline constexpr char kDeviceBlankMessage[] = "\nController ist gelöscht !\n";
inline constexpr char kBlankCheckCancelledMessage[] = "Leertest abgebrochen !";
inline constexpr char kProgramCancelledMessage[] = "Programmierung abgebrochen !";
inline constexpr char kVerifyCancelledMessage[] = "Prüfen abgebrochen !";
inline constexpr char kLockBitsNoEffectMessage[] = "Schutzbits haben keine Wirkung !";
inline constexpr char kEraseQuestion[] = "*** Controller löschen ***\n\n";

// What is sent for the same result. kExact is the register sequence the
// window has always sent. kFast reads the code memory of a chip with page
// mode (DeviceDescriptor::page_read) a page per instruction in verify and
// read-out; the bit timing is the same. Programming skips 0xFF bytes after
// the chip erase in both.
enum class Profile { kExact, kFast };

class DeviceOperations {
 public:
  // All four must outlive the object, which is built once for the run by its
  // owner. The descriptor and the image are read at every call.
  DeviceOperations(PortLink& link, Services& services, const DeviceDescriptor& device,
                   ImageBuffer& image);

  // Reads the code memory, then the EEPROM when the device has one, asking
  // Retry/Cancel at every byte that is not 0xFF. kOk (after the
  // "blank" message), kNotBlank, kBlankCheckStopped or kSyncFailed.
  OperationResult BlankCheck();
  // Asks first; kOk or kEraseDeclined (the device is then not
  // powered). No progress and no cancel button.
  OperationResult EraseDevice();
  // The confirmation question before a device action, naming the device;
  // returns kIdOk or kIdCancel.
  int ConfirmDeviceAction(const std::string& text);
  // Writes every byte other than 0xFF from address 0 to the image's highest
  // loaded address, erasing the chip first for the code memory. Faults
  // answered Retry still give kOk; kProgramStopped otherwise.
  // Programming the code memory keeps the image's byte 0 for ProgramLockBits.
  OperationResult ProgramMemory(MemoryKind kind);
  // Compares the device with the image from address 0 to the highest loaded
  // address, blank bytes included. kOk or kVerifyFailed.
  OperationResult VerifyMemory(MemoryKind kind);
  // The read-out loop alone: the caller resets the adapter, enters
  // programming mode and fills the image with 0xFF first, and leaves
  // programming mode afterwards. Reads the whole memory into the image,
  // stopping after the current byte when the cancel flag is set (which the
  // caller then reports). kOk, or kAdapterLost when the link
  // was lost or kSyncFailed: the image then holds noise, and nothing may be
  // saved.
  OperationResult ReadMemory(MemoryKind kind);
  // Writes the lock bits chosen and, when Lock2 or Lock3 is chosen, checks
  // that code byte 0 no longer reads as the code image's byte 0.
  // kOk, kLockBitsNoEffect, or kAdapterLost after a lost link.
  // Starts from the unpowered adapter a program run leaves behind.
  OperationResult ProgramLockBits(const LockOptions& locks);

  // Takes effect at the next operation; kExact until set.
  void SetProfile(Profile profile) { profile_ = profile; }
  Profile profile() const { return profile_; }

  // The protocol, for callers that frame an operation themselves (the
  // read-out saving and the program command's final LeaveProgrammingMode).
  SpiProtocol& protocol() { return protocol_; }

 private:
  // Reads kind's byte at address.
  uint8_t ReadByte(MemoryKind kind, uint32_t address);
  // ReadByte for the loops that walk the memory upwards from address 0
  // (verify, read-out): in the fast profile on a chip with page mode, a
  // page is read whole at its first byte and then served from page_, so
  // nothing of an earlier loop is ever served.
  uint8_t ReadInLoop(MemoryKind kind, uint32_t address);
  // Mode 4 has no data EEPROM instructions. A library entry that still
  // gives such a device an EEPROM gets the refusal once per operation, not
  // once per byte, and the operation fails instead of taking 0 for data.
  bool EepromUnreachable(MemoryKind kind, const char* message);
  // True when the loop must end after this byte: the answer was Cancel, the
  // cancel button was clicked or the link is gone.
  bool StopAfterByte(int answer) const;
  // The common start of program and verify: progress over the highest
  // loaded address, reset, cancel button, status text, programming mode.
  // False after a failed sync, programming mode already left again.
  bool StartImageRun(const char* status_format);
  // After EnterProgrammingMode: true when the sync failed; programming mode
  // is then left and the progress cleared.
  bool SyncFailed();

  PortLink& link_;
  Services& services_;
  const DeviceDescriptor& device_;
  ImageBuffer& image_;
  SpiProtocol protocol_;
  // Byte 0 of the code image last programmed: by the time the lock bits are
  // written the image may hold the EEPROM data instead.
  uint8_t code_image_byte0_ = kBlankByte;
  bool code_image_byte0_kept_ = false;
  Profile profile_ = Profile::kExact;
  uint8_t page_[kCodePageSize] = {};
  uint32_t page_start_ = 0;
};

}  // namespace zivivar
