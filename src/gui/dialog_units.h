// Layout in dialog units: the windows' controls are placed on a grid that
// scales with the dialog font. A horizontal unit is a quarter of the font's
// average character width, a vertical unit an eighth of its character height.
#pragma once

#include <QFont>
#include <QRect>
#include <vector>

class QWidget;

namespace zivivar {

class DialogUnits {
 public:
  // Base units measured from font: the average width of the 52 Latin
  // letters and the font's line height, in pixels. They are kept exact, not
  // rounded, since the layout was drawn for another font and every pixel of
  // width counts for the captions.
  explicit DialogUnits(const QFont& font);
  // Base units given directly.
  DialogUnits(double base_x, double base_y) : m_baseX(base_x), m_baseY(base_y) {}

  int ToPixelsX(int du) const;
  int ToPixelsY(int du) const;
  // Edges are converted, not sizes, so adjacent controls stay adjacent.
  QRect ToPixels(int x, int y, int width, int height) const;

  // The same units, horizontally widened where needed so that width_du
  // units hold at least pixels pixels.
  DialogUnits WidenedToHold(int width_du, int pixels) const;

  double baseX() const { return m_baseX; }
  double baseY() const { return m_baseY; }

 private:
  double m_baseX;
  double m_baseY;
};

// The controls of one window with their places in dialog units. The units
// come from the window's font, widened just enough that no caption of this
// toolkit's controls (whose check box marks and margins are larger than the
// ones the layout was drawn for) is cut off.
class DialogLayout {
 public:
  enum class Fit {
    kNone,       // the place as it is
    kCaption,    // the width must hold the control's caption
    kOwnHeight,  // a drop-down list: the unit height is that of the open list,
                 // the closed box keeps the toolkit's height
  };

  void Add(QWidget* widget, QRect units, Fit fit = Fit::kNone);
  // Computes the units for font and places every control. Returns the units.
  DialogUnits Apply(const QFont& font) const;

 private:
  struct Entry {
    QWidget* widget;
    QRect units;
    Fit fit;
  };
  std::vector<Entry> m_entries;
};

// Grows frame (a group box placed by a layout) so that its contents area,
// below the title, holds the visible part of each of the boxes inside it: the
// layout was drawn for a smaller title. The frame grows upwards, but never
// over a sibling above it, and downwards where its bottom is too high; the
// boxes stay where they are.
void FitFrameAround(QWidget& frame, const std::vector<QWidget*>& inside);

}  // namespace zivivar
