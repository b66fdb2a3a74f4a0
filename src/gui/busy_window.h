// The small captionless window that stands over the main window's chip
// picture while a device command runs. It only shows a picture; the busy rule
// itself is the per-user lock that the dialog logic holds for the same time.
#pragma once

#include <QFrame>

class QLabel;

namespace zivivar {

class BusyWindow : public QFrame {
  Q_OBJECT

 public:
  // A top-level window with no parent, so that it is not tied to the main
  // window's stacking.
  BusyWindow();

  // Shows the window on place (screen pixels), without taking the focus from
  // the main window. The picture is scaled down when the place is smaller.
  void ShowOver(const QRect& place);

 private:
  QLabel* m_picture;
};

}  // namespace zivivar
