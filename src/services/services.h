// The message, status, progress and cancel services through which the whole
// system talks to the user. One instance for the run, used from one thread.
#pragma once

#include <cstdint>
#include <string>

#include "common/message_catalogue.h"
#include "services/services_view.h"

namespace zivivar {

inline constexpr char kMessageCaption[] = "Meldung";
inline constexpr char kApplicationTitle[] = "8051 VeDedido Zivivar V1.05";
inline constexpr char kDemoMessage[] =
    "Keine Aktionen des Brenners möglich !\n\nProgramm läuft im Demomodus.";
inline constexpr char kIdleStatus[] = "Warte auf Eingaben";

class Services {
 public:
  // view must outlive the services. message_beap is the settings value that
  // decides whether messages beep; it is read at every message, so a change
  // in the preferences takes effect at once.
  Services(ServicesView& view, const int& message_beap);

  // Information box with OK.
  void ShowMessage(const std::string& text);
  // Returns kIdRetry or kIdCancel.
  int AskRetryCancel(const std::string& text);
  // Returns kIdOk or kIdCancel.
  int AskOkCancel(const std::string& text);
  // The demo-mode refusal of the device commands.
  void ShowDemoMessage();
  // Plain box with the application's title as caption; no beep. For diagnostics.
  void ShowPlainMessage(const std::string& text);

  // The language of the texts. Without a catalogue (the window) every text
  // is shown as the system words it, in German; with one (the command line)
  // the messages and status texts are translated whole, and the callers that
  // fill in a printf format translate the format first, with Translate.
  // catalogue must outlive the services; null goes back to German.
  void SetCatalogue(const MessageCatalogue* catalogue) { catalogue_ = catalogue; }
  // format_arg: a translated printf format is checked against its German one.
  __attribute__((format_arg(2))) const char* Translate(const char* text) const;
  std::string Translate(const std::string& text) const;
  const MessageCatalogue* catalogue() const { return catalogue_; }

  // Sets the status line and repaints at once.
  void SetStatus(const std::string& text);

  // Prepares the bar for total items: over 50 items the range is 0..50 and a
  // step is total/50 items, else the range is 0..total and every item is a step.
  void ProgressStart(uint32_t total);
  // Counts one item; at every full step pumps the events and moves the bar.
  void ProgressStep();
  // Sets the bar directly.
  void SetProgress(uint32_t position);
  // Processes pending events; the only place where a click on the cancel
  // button can reach the program during an operation.
  void PumpMessages();

  bool CancelRequested() const { return cancel_flag_ != 0; }
  // The long device operations enable the cancel button when their work
  // starts; the command's common end disables it again.
  void EnableCancelButton() { view_.SetCancelEnabled(true); }
  void DisableCancelButton() { view_.SetCancelEnabled(false); }
  // The cancel button's click handler.
  void RequestCancel() { cancel_flag_ = 1; }
  // Cleared at start-up and at the common end of every device command.
  void ClearCancel() { cancel_flag_ = 0; }

  uint32_t bar_position() const { return bar_position_; }

  ServicesView& view() { return view_; }

 private:
  int Ask(MessageKind kind, const std::string& text);

  ServicesView& view_;
  const int& message_beap_;
  const MessageCatalogue* catalogue_ = nullptr;
  int cancel_flag_ = 0;
  uint32_t range_ = 0;
  uint32_t items_per_step_ = 1;
  uint32_t item_counter_ = 0;
  uint32_t bar_position_ = 0;
};

}  // namespace zivivar
