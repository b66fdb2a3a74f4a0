// The message, status and progress services on a terminal. A message box
// prints its text to the error stream; a question is answered at once by the
// command line (-y for OK/Cancel, --on-fault for Retry/Cancel) and the answer
// is printed after it. When the error stream is a terminal, the status text
// and a progress bar are kept on one line of it, redrawn in place.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "services/services_view.h"

namespace zivivar {

struct TerminalAnswers {
  int ok_cancel = kIdCancel;  // the answer to confirmations (kIdOk with -y)
  int retry_cancel =
      kIdCancel;  // the answer to faulty-byte questions (kIdRetry with --on-fault retry)
};

class TerminalServicesView : public ServicesView {
 public:
  // err must outlive the view. With progress true (err is a terminal) the
  // status line and the bar are drawn within width, the terminal's width.
  TerminalServicesView(std::ostream& err, TerminalAnswers answers, bool progress, int width = 80);
  ~TerminalServicesView() override;

  // Called at every event pump; returns true when the user asked to stop
  // (an interrupt), which the front end turns into a click on "Abbrechen".
  void SetInterruptPoll(std::function<bool()> poll) { interrupt_poll_ = std::move(poll); }
  void SetCancelHandler(std::function<void()> handler) { cancel_handler_ = std::move(handler); }
  // Called with every new status text, before it is drawn.
  void SetStatusListener(std::function<void(const std::string&)> listener) {
    status_listener_ = std::move(listener);
  }
  // Messages with one of these texts are not printed (the window's success
  // boxes, for which the command line prints its own summary).
  void HideMessages(std::vector<std::string> texts) { hidden_ = std::move(texts); }
  // Errors only: no status line, no bar, and no question answered OK.
  void SetQuiet(bool quiet) { quiet_ = quiet; }
  // How many Retry/Cancel questions were answered Cancel so far.
  int declined_retries() const { return declined_retries_; }

  int ShowMessageBox(MessageKind kind, const std::string& caption,
                     const std::string& text) override;
  // A terminal tool does not ring the bell at every message.
  void Beep() override {}
  void SetStatusText(const std::string& text) override;
  void Repaint() override {}
  void SetProgressRange(uint32_t upper) override;
  void SetProgressPosition(uint32_t position) override;
  void ProcessPendingEvents() override;

  // Takes the bar off the screen (before the front end prints its own lines).
  void ClearLine();

 private:
  void Draw();

  std::ostream& err_;
  TerminalAnswers answers_;
  bool progress_;
  int width_;
  std::string status_;
  uint32_t upper_ = 0;
  uint32_t position_ = 0;
  bool line_shown_ = false;
  std::function<bool()> interrupt_poll_;
  std::function<void()> cancel_handler_;
  std::function<void(const std::string&)> status_listener_;
  std::vector<std::string> hidden_;
  bool quiet_ = false;
  int declined_retries_ = 0;
};

}  // namespace zivivar
