#include "cli/terminal_services_view.h"

#include <algorithm>

#include "services/services.h"

namespace zivivar {
namespace {

constexpr int kBarWidth = 20;
// " [" + bar + "] " + "100%"
constexpr int kBarColumns = kBarWidth + 8;

// The first columns characters of text; UTF-8 sequences are kept whole.
std::string Truncate(const std::string& text, int columns) {
  int count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80) {
      if (count == columns)
        return text.substr(0, i);
      ++count;
    }
  }
  return text;
}

const char* AnswerName(int answer) {
  switch (answer) {
    case kIdOk:
      return "OK";
    case kIdRetry:
      return "Retry";
    default:
      return "Cancel";
  }
}

}  // namespace

TerminalServicesView::TerminalServicesView(std::ostream& err, TerminalAnswers answers,
                                           bool progress, int width)
    : err_(err), answers_(answers), progress_(progress), width_(std::max(width, 40)) {}

TerminalServicesView::~TerminalServicesView() {
  ClearLine();
}

int TerminalServicesView::ShowMessageBox(MessageKind kind, const std::string& /*caption*/,
                                         const std::string& text) {
  ClearLine();
  err_ << text;
  if (text.empty() || text.back() != '\n')
    err_ << '\n';
  int answer = kIdOk;
  if (kind == MessageKind::kOkCancel) {
    answer = answers_.ok_cancel;
  } else if (kind == MessageKind::kRetryCancel) {
    answer = answers_.retry_cancel;
  }
  if (kind == MessageKind::kOkCancel || kind == MessageKind::kRetryCancel)
    err_ << "-> " << AnswerName(answer) << '\n';
  err_.flush();
  return answer;
}

void TerminalServicesView::SetStatusText(const std::string& text) {
  if (text == kIdleStatus) {
    status_.clear();
    upper_ = 0;
    position_ = 0;
    ClearLine();
    return;
  }
  status_ = text;
  Draw();
}

void TerminalServicesView::SetProgressRange(uint32_t upper) {
  upper_ = upper;
  position_ = 0;
}

void TerminalServicesView::SetProgressPosition(uint32_t position) {
  position_ = position;
  Draw();
}

void TerminalServicesView::ProcessPendingEvents() {
  if (interrupt_poll_ && interrupt_poll_() && cancel_handler_)
    cancel_handler_();
}

void TerminalServicesView::Draw() {
  if (!progress_ || status_.empty())
    return;
  const uint32_t shown = std::min(position_, upper_);
  const int filled = upper_ == 0 ? 0 : static_cast<int>(shown * kBarWidth / upper_);
  const int percent = upper_ == 0 ? 0 : static_cast<int>(shown * 100 / upper_);
  std::string line = Truncate(status_, width_ - 1 - kBarColumns);
  line += " [";
  line.append(static_cast<size_t>(filled), '#');
  line.append(static_cast<size_t>(kBarWidth - filled), '.');
  line += "] ";
  const std::string pct = std::to_string(percent) + "%";
  line.append(4 - std::min<size_t>(pct.size(), 4), ' ');
  line += pct;
  // Carriage return, the line, and erase to the end of the line.
  err_ << '\r' << line << "\x1b[K";
  err_.flush();
  line_shown_ = true;
}

void TerminalServicesView::ClearLine() {
  if (!line_shown_)
    return;
  err_ << "\r\x1b[K";
  err_.flush();
  line_shown_ = false;
}

}  // namespace zivivar
