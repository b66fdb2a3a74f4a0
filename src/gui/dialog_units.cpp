#include "gui/dialog_units.h"

#include <QFontMetrics>
#include <QString>

namespace zivivar {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters_width = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  // Width of the 52 letters over 52, rounded to the nearest pixel.
  m_baseX = (letters_width / 26 + 1) / 2;
  m_baseY = metrics.height();
  if (m_baseX < 1)
    m_baseX = 1;
  if (m_baseY < 1)
    m_baseY = 1;
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  // Edges are converted, not sizes, so adjacent controls stay adjacent.
  const int left = ToPixelsX(x);
  const int top = ToPixelsY(y);
  return QRect(left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top);
}

}  // namespace zivivar
