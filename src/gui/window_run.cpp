#include "gui/window_run.h"

namespace zivivar {
namespace {

std::string LockDirectory(const RuntimeOptions& options) {
  std::string directory = options.lock_directory.value_or(DefaultLockDirectory());
  if (!directory.empty() && directory.back() != '/')
    directory += '/';
  return directory;
}

}  // namespace

WindowRun::WindowRun(RuntimeOptions options)
    : m_servicesView(m_window),
      m_runtime(m_servicesView, std::move(options)),
      m_dialog(m_runtime, m_window),
      m_channel(LockDirectory(m_runtime.options())) {
  m_window.Attach(m_dialog, m_runtime);
  QObject::connect(&m_channel, &InstanceChannel::showRequested, &m_window,
                   &MainWindow::ShowAndActivate);
}

bool WindowRun::ClaimInstance() {
  if (!m_runtime.locks().ClaimInstance())
    return false;
  m_channel.Listen();
  return true;
}

void WindowRun::Start() {
  m_dialog.Initialize();
  m_window.ShowModeTexts();
  m_window.show();
}

}  // namespace zivivar
