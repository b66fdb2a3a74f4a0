// The device steps that saving read-out data frames: what the device
// operations provide to read one memory of the chip into the image.
#pragma once

#include "datafiles/image_buffer.h"

namespace zivivar {

class DeviceReadout {
 public:
  virtual ~DeviceReadout() = default;

  // The adapter idle and unpowered.
  virtual void ResetAdapter() = 0;
  // Powers the device and brings it into programming mode.
  virtual void EnterProgrammingMode() = 0;
  // Reads the memory of kind, from address 0 up to its size, into the same
  // places of the image, with progress shown; stops early when the cancel
  // flag is set, leaving the rest of the image as it was. Returns true, or
  // false after reporting a failure (a lost adapter) that makes the image
  // worthless.
  virtual bool ReadMemory(MemoryKind kind) = 0;
  // Out of programming mode, supply off.
  virtual void LeaveProgrammingMode() = 0;
};

}  // namespace zivivar
