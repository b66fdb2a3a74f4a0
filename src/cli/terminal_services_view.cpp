#include "cli/terminal_services_view.h"

#include <algorithm>

#include "services/services.h"

namespace zivivar {
namespace {

constexpr int kBarWidth = 20;
// " [" + bar + "] " + "100%"
constexpr int kBarColumns = kBarWidth + 8;
// Fewer columns of status text than this are not worth the bar.
constexpr int kMinStatusColumns = 8;

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
    : err_(err), answers_(answers), progress_(progress), width_(std::max(width, 2)) {}

TerminalServicesView::~TerminalServicesView() {
  ClearLine();
}

int TerminalServicesView::ShowMessageBox(MessageKind kind, const std::string& /*caption*/,
                                         const std::string& text) {
  int answer = kIdOk;
  if (kind == MessageKind::kOkCancel) {
    answer = answers_.ok_cancel;
  } else if (kind == MessageKind::kRetryCancel) {
    answer = answers_.retry_cancel;
    if (answer == kIdCancel)
      ++declined_retries_;
  }
  const bool question = kind == MessageKind::kOkCancel || kind == MessageKind::kRetryCancel;
  if (std::find(hidden_.begin(), hidden_.end(), text) != hidden_.end() ||
      (quiet_ && question && answer == kIdOk)) {
    return answer;
  }
  ClearLine();
  err_ << text;
  if (text.empty() || text.back() != '\n')
    err_ << '\n';
  if (question)
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
  if (text != status_ && status_listener_) {
    ClearLine();
    status_listener_(text);
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
  if (!progress_ || quiet_ || status_.empty())
    return;
  const uint32_t shown = std::min(position_, upper_);
  const int filled = upper_ == 0 ? 0 : static_cast<int>(shown * kBarWidth / upper_);
  const int percent = upper_ == 0 ? 0 : static_cast<int>(shown * 100 / upper_);
  std::string pct = std::to_string(percent) + "%";
  pct.insert(0, 4 - std::min<size_t>(pct.size(), 4), ' ');
  // The last column stays free, so that the terminal does not wrap. A
  // narrow one gets the percentage without the bar, then the text alone.
  std::string line;
  const int columns = width_ - 1;
  if (columns - kBarColumns >= kMinStatusColumns) {
    line = Truncate(status_, columns - kBarColumns);
    line += " [";
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(kBarWidth - filled), '.');
    line += "] " + pct;
  } else if (columns - 5 >= kMinStatusColumns) {
    line = Truncate(status_, columns - 5) + " " + pct;
  } else {
    line = Truncate(status_, columns);
  }
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
