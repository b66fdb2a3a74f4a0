// What a front end must do for the message, status, progress and cancel
// services. Only the toolkit's part lives here; the rules (captions, the beep,
// step counting, the cancel flag) are in Services.
#pragma once

#include <cstdint>
#include <string>

namespace zivivar {

// Button results: the values that ShowMessageBox returns.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdRetry = 4;

enum class MessageKind {
  kOk,           // information box with an OK button
  kRetryCancel,  // information box with retry and cancel buttons
  kOkCancel,     // information box with OK and cancel buttons
  kPlain,        // plain box with OK, captioned with the application's title (diagnostics)
};

class ServicesView {
 public:
  virtual ~ServicesView() = default;

  // Shows a modal box and returns the button chosen: kIdOk for kOk and
  // kPlain, kIdRetry/kIdCancel or kIdOk/kIdCancel for the questions.
  virtual int ShowMessageBox(MessageKind kind, const std::string& caption,
                             const std::string& text) = 0;
  // The platform's default message sound.
  virtual void Beep() = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  // Paints the window now, without processing other events.
  virtual void Repaint() = 0;
  // Sets the progress bar's range to 0..upper (upper is at most 50).
  virtual void SetProgressRange(uint32_t upper) = 0;
  virtual void SetProgressPosition(uint32_t position) = 0;
  // Processes the events that are pending, then returns; never waits.
  virtual void ProcessPendingEvents() = 0;
  // Enables or disables the cancel button ("Abbrechen"). Views without one
  // (a terminal that cancels by signal) may ignore it.
  virtual void SetCancelEnabled(bool /*enabled*/) {}
};

}  // namespace zivivar
