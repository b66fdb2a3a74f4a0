// Everything the window program has once: the window, the Qt side of the
// services, the run's owner and the dialog logic, built in that order and
// wired to each other. main() and the tests build the program the same way.
#pragma once

#include "gui/instance_channel.h"
#include "gui/main_window.h"
#include "gui/qt_services_view.h"
#include "ui/main_dialog.h"
#include "ui/runtime.h"

namespace zivivar {

class WindowRun {
 public:
  // A QApplication must exist. Nothing is shown and no file is read yet.
  explicit WindowRun(RuntimeOptions options);
  WindowRun(const WindowRun&) = delete;
  WindowRun& operator=(const WindowRun&) = delete;

  // The single-instance rule: false when another copy is open or runs a
  // device command, and this one is to end without a word. When true, this
  // copy listens for later copies that want its window shown.
  bool ClaimInstance();
  // For a copy that may not run: asks the running copy to raise and
  // activate its window. False when none listens (e.g. only a command runs).
  bool ShowRunningCopy() { return m_channel.AskToShow(); }
  // The dialog's start-up (settings, position, port access, adapter search,
  // boxes, lists, device), then the window is shown.
  void Start();

  MainWindow& window() { return m_window; }
  QtServicesView& servicesView() { return m_servicesView; }
  Runtime& runtime() { return m_runtime; }
  MainDialog& dialog() { return m_dialog; }
  InstanceChannel& channel() { return m_channel; }

 private:
  MainWindow m_window;
  QtServicesView m_servicesView;
  Runtime m_runtime;
  MainDialog m_dialog;
  InstanceChannel m_channel;
};

}  // namespace zivivar
