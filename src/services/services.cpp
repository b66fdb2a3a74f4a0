#include "services/services.h"

namespace zivivar {

Services::Services(ServicesView& view, const int& message_beap)
    : view_(view), message_beap_(message_beap) {}

int Services::Ask(MessageKind kind, const std::string& text) {
  if (message_beap_ != 0)
    view_.Beep();
  return view_.ShowMessageBox(kind, kMessageCaption, Translate(text));
}

void Services::ShowMessage(const std::string& text) {
  Ask(MessageKind::kOk, text);
}

int Services::AskRetryCancel(const std::string& text) {
  return Ask(MessageKind::kRetryCancel, text) == kIdRetry ? kIdRetry : kIdCancel;
}

int Services::AskOkCancel(const std::string& text) {
  return Ask(MessageKind::kOkCancel, text) == kIdOk ? kIdOk : kIdCancel;
}

void Services::ShowDemoMessage() {
  ShowMessage(kDemoMessage);
}

void Services::ShowPlainMessage(const std::string& text) {
  view_.ShowMessageBox(MessageKind::kPlain, kApplicationTitle, Translate(text));
}

void Services::SetStatus(const std::string& text) {
  view_.SetStatusText(Translate(text));
  view_.Repaint();
}

const char* Services::Translate(const char* text) const {
  return catalogue_ == nullptr ? text : catalogue_->Translate(text);
}

std::string Services::Translate(const std::string& text) const {
  return catalogue_ == nullptr ? text : catalogue_->Translate(text);
}

void Services::ProgressStart(uint32_t total) {
  if (total > 50) {
    range_ = 50;
    items_per_step_ = total / 50;
  } else {
    range_ = total;
    items_per_step_ = 1;
  }
  view_.SetProgressRange(range_);
  item_counter_ = 0;
  bar_position_ = 0;
}

void Services::ProgressStep() {
  ++item_counter_;
  if (item_counter_ == items_per_step_) {
    PumpMessages();
    ++bar_position_;
    // A bar holds still at its upper bound (a total of 51 to 99 steps past it).
    view_.SetProgressPosition(bar_position_ < range_ ? bar_position_ : range_);
    item_counter_ = 0;
  }
}

void Services::SetProgress(uint32_t position) {
  view_.SetProgressPosition(position);
}

void Services::PumpMessages() {
  view_.ProcessPendingEvents();
}

}  // namespace zivivar
