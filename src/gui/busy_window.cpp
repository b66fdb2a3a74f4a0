#include "gui/busy_window.h"

#include <QLabel>
#include <QPixmap>

#include "ui/process_locks.h"

namespace zivivar {

BusyWindow::BusyWindow()
    : QFrame(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_picture(new QLabel(this)) {
  setWindowTitle(QString::fromUtf8(kBusyWindowTitle));
  setAttribute(Qt::WA_ShowWithoutActivating);
  // A raised dialog frame stands in for the caption the window does not have.
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);

  m_picture->setObjectName(QStringLiteral("busyPicture"));
  m_picture->setFrameStyle(QFrame::Box | QFrame::Plain);
  m_picture->setAlignment(Qt::AlignCenter);
}

void BusyWindow::ShowOver(const QRect& place) {
  setFixedSize(place.size());
  const QRect inner = rect().adjusted(4, 4, -4, -4);
  m_picture->setGeometry(inner);
  const QPixmap picture(QStringLiteral(":/pictures/busy.png"));
  const QSize room = inner.size() - QSize(2, 2);
  m_picture->setPixmap(picture.width() > room.width() || picture.height() > room.height()
                           ? picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                           : picture);
  move(place.topLeft());
  show();
  // Paint at once: the command that follows keeps the event loop away until
  // its first progress step.
  repaint();
}

}  // namespace zivivar
