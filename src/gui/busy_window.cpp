#include "gui/busy_window.h"

#include <QLabel>
#include <QPixmap>

#include "gui/dialog_units.h"
#include "ui/process_locks.h"

namespace zivivar {

BusyWindow::BusyWindow(const DialogUnits& units)
    : QFrame(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_picture(new QLabel(this)) {
  setWindowTitle(QString::fromUtf8(kBusyWindowTitle));
  setAttribute(Qt::WA_ShowWithoutActivating);
  // A raised dialog frame stands in for the caption the window does not have.
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  setFixedSize(units.ToPixelsX(50), units.ToPixelsY(50));

  m_picture->setObjectName(QStringLiteral("busyPicture"));
  m_picture->setFrameStyle(QFrame::Box | QFrame::Plain);
  m_picture->setAlignment(Qt::AlignCenter);
  m_picture->setPixmap(QPixmap(QStringLiteral(":/pictures/busy.png")));
  m_picture->setGeometry(units.ToPixels(2, 2, 46, 46));
}

void BusyWindow::ShowAt(int x, int y) {
  move(x, y);
  show();
  // Paint at once: the command that follows keeps the event loop away until
  // its first progress step.
  repaint();
}

}  // namespace zivivar
