#include "ui/window_texts.h"

#include "services/services.h"

namespace zivivar {

std::string WindowTitleText(bool demo_mode) {
  std::string title = kApplicationTitle;
  if (demo_mode)
    title += std::string(" - ") + kDemoModeName;
  return title;
}

std::string IdleStatusText(bool demo_mode) {
  std::string text = kIdleStatus;
  if (demo_mode)
    text += std::string(" (") + kDemoModeName + ")";
  return text;
}

}  // namespace zivivar
