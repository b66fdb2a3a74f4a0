#include "gui/app_icon.h"

#include <QString>

namespace zivivar {

QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/zivivar-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace zivivar
