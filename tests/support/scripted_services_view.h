// A ServicesView for tests: answers are queued per message kind, and every
// box, status text, progress change, pump and beep is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "services/services_view.h"

namespace zivivar::testing {

struct RecordedMessage {
  MessageKind kind;
  std::string caption;
  std::string text;
};

class ScriptedServicesView : public ServicesView {
 public:
  // Queues the answer for the next box of this kind. Without a queued answer
  // a question is answered with its cancel button (kIdCancel) and an OK box
  // with kIdOk.
  void QueueAnswer(MessageKind kind, int answer) { answers_[kind].push_back(answer); }

  // Runs at the given pump (1-based count of ProcessPendingEvents calls), to
  // stand for an event that arrives while an operation runs (a click on the
  // cancel button, say).
  void OnPump(int pump_number, std::function<void()> action) {
    pump_actions_[pump_number] = std::move(action);
  }
  // Runs when a message box is shown, before it is answered.
  void OnMessage(std::function<void(const RecordedMessage&)> action) {
    on_message_ = std::move(action);
  }

  int ShowMessageBox(MessageKind kind, const std::string& caption,
                     const std::string& text) override;
  void Beep() override { ++beeps; }
  void SetStatusText(const std::string& text) override { statuses.push_back(text); }
  void Repaint() override { ++repaints; }
  void SetProgressRange(uint32_t upper) override { ranges.push_back(upper); }
  void SetProgressPosition(uint32_t position) override { positions.push_back(position); }
  void ProcessPendingEvents() override;
  void SetCancelEnabled(bool enabled) override { cancel_enabled = enabled; }

  // Texts of all boxes shown so far, in order.
  std::vector<std::string> Texts() const;
  void Clear();

  std::vector<RecordedMessage> messages;
  std::vector<std::string> statuses;
  std::vector<uint32_t> ranges;
  std::vector<uint32_t> positions;
  int beeps = 0;
  int repaints = 0;
  int pumps = 0;
  bool cancel_enabled = false;  // the cancel button's state as last set

 private:
  std::map<MessageKind, std::deque<int>> answers_;
  std::map<int, std::function<void()>> pump_actions_;
  std::function<void(const RecordedMessage&)> on_message_;
};

}  // namespace zivivar::testing
