#include "gui/window_run.h"

namespace zivivar {

WindowRun::WindowRun(RuntimeOptions options)
    : m_servicesView(m_window),
      m_runtime(m_servicesView, std::move(options)),
      m_dialog(m_runtime, m_window) {
  m_window.Attach(m_dialog, m_runtime.settings());
}

bool WindowRun::ClaimInstance() {
  return m_runtime.locks().ClaimInstance();
}

void WindowRun::Start() {
  m_dialog.Initialize();
  m_window.show();
}

}  // namespace zivivar
