// The application's icon, from the pictures built into the program.
#pragma once

#include <QIcon>

namespace zivivar {

// The icon in every size it is drawn in; for the windows and the task bar.
QIcon ApplicationIcon();

}  // namespace zivivar
