// Layout in dialog units: the window's controls are placed on a grid that
// scales with the dialog font, so the captions fit whatever font the desktop
// uses. A horizontal unit is a quarter of the font's average character width,
// a vertical unit an eighth of its character height.
#pragma once

#include <QFont>
#include <QRect>

namespace zivivar {

class DialogUnits {
 public:
  // Base units measured from font: the average width of the 52 Latin letters
  // (rounded) and the font's line height, both in pixels.
  explicit DialogUnits(const QFont& font);
  // For tests and fixed layouts: base units given directly.
  DialogUnits(int base_x, int base_y) : m_baseX(base_x), m_baseY(base_y) {}

  int ToPixelsX(int du) const { return du * m_baseX / 4; }
  int ToPixelsY(int du) const { return du * m_baseY / 8; }
  QRect ToPixels(int x, int y, int width, int height) const;

  int baseX() const { return m_baseX; }
  int baseY() const { return m_baseY; }

 private:
  int m_baseX;
  int m_baseY;
};

}  // namespace zivivar
