// The texts that tell the user which mode the window is in: its title and the
// status line's idle text. In demo mode every device command is refused, so
// both say so before the user presses a button.
#pragma once

#include <string>

namespace zivivar {

inline constexpr char kDemoModeName[] = "Demomodus";

// The window title: the application title, with " - Demomodus" in demo mode.
std::string WindowTitleText(bool demo_mode);
// The status line's idle text: "Warte auf Eingaben", with " (Demomodus)" in demo mode.
std::string IdleStatusText(bool demo_mode);

}  // namespace zivivar
