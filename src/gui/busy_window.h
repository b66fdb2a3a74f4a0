// The small captionless window that stands beside the main window while a
// device command runs. It only shows a picture; the busy rule itself is the
// per-user lock that the dialog logic holds for the same time.
#pragma once

#include <QFrame>

class QLabel;

namespace zivivar {

class DialogUnits;

class BusyWindow : public QFrame {
  Q_OBJECT

 public:
  // units: the main window's dialog units, which size the window (50 x 50)
  // and its bordered picture (at 2, 2, 46 x 46). A top-level window with no
  // parent, so that it is not tied to the main window's stacking.
  explicit BusyWindow(const DialogUnits& units);

  // Shows the window with its top-left corner at (x, y) screen pixels,
  // without taking the focus from the main window.
  void ShowAt(int x, int y);

 private:
  QLabel* m_picture;
};

}  // namespace zivivar
