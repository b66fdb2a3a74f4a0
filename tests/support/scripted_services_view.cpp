#include "support/scripted_services_view.h"

namespace zivivar::testing {

int ScriptedServicesView::ShowMessageBox(MessageKind kind, const std::string& caption,
                                         const std::string& text) {
  messages.push_back({kind, caption, text});
  if (on_message_)
    on_message_(messages.back());
  auto& queue = answers_[kind];
  if (!queue.empty()) {
    const int answer = queue.front();
    queue.pop_front();
    return answer;
  }
  return kind == MessageKind::kRetryCancel || kind == MessageKind::kOkCancel ? kIdCancel : kIdOk;
}

void ScriptedServicesView::ProcessPendingEvents() {
  ++pumps;
  const auto it = pump_actions_.find(pumps);
  if (it != pump_actions_.end())
    it->second();
}

std::vector<std::string> ScriptedServicesView::Texts() const {
  std::vector<std::string> texts;
  for (const auto& m : messages)
    texts.push_back(m.text);
  return texts;
}

void ScriptedServicesView::Clear() {
  messages.clear();
  statuses.clear();
  ranges.clear();
  positions.clear();
  beeps = repaints = pumps = 0;
}

}  // namespace zivivar::testing
