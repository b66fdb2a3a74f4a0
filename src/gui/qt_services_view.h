// The Qt side of the message, status, progress and cancel services: message
// boxes over the main window, its status line, progress bar and "Abbrechen"
// button, and the event processing at progress steps.
#pragma once

#include "services/services_view.h"

class QMessageBox;

namespace zivivar {

class MainWindow;

class QtServicesView : public ServicesView {
 public:
  // window must outlive the view.
  explicit QtServicesView(MainWindow& window);

  int ShowMessageBox(MessageKind kind, const std::string& caption,
                     const std::string& text) override;
  void Beep() override;
  void SetStatusText(const std::string& text) override;
  void Repaint() override;
  void SetProgressRange(uint32_t upper) override;
  void SetProgressPosition(uint32_t position) override;
  void ProcessPendingEvents() override;
  void SetCancelEnabled(bool enabled) override;

 private:
  MainWindow& m_window;
};

// Sets box up for kind (icon, buttons, default and escape button), caption
// and text, without running it.
void ConfigureMessageBox(QMessageBox& box, MessageKind kind, const std::string& caption,
                         const std::string& text);
// The result of a finished box, in the system's button values.
int MessageBoxResult(MessageKind kind, int standard_button);

}  // namespace zivivar
