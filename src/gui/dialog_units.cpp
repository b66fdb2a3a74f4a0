#include "gui/dialog_units.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace zivivar {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters_width = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  m_baseX = std::max(1.0, letters_width / 52.0);
  m_baseY = std::max(1, metrics.height());
}

int DialogUnits::ToPixelsX(int du) const {
  return static_cast<int>(std::lround(du * m_baseX / 4));
}

int DialogUnits::ToPixelsY(int du) const {
  return static_cast<int>(std::lround(du * m_baseY / 8));
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  const int left = ToPixelsX(x);
  const int top = ToPixelsY(y);
  return QRect(left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top);
}

DialogUnits DialogUnits::WidenedToHold(int width_du, int pixels) const {
  if (width_du <= 0 || ToPixelsX(width_du) >= pixels)
    return *this;
  return DialogUnits(pixels * 4.0 / width_du, m_baseY);
}

void DialogLayout::Add(QWidget* widget, QRect units, Fit fit) {
  m_entries.push_back({widget, units, fit});
}

namespace {

// The width a control needs to show its caption whole.
int CaptionWidth(const QWidget& widget) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget);
      button != nullptr && qobject_cast<const QCheckBox*>(&widget) == nullptr) {
    // A push button's own size hint has a minimum width that is no need.
    return widget.fontMetrics().horizontalAdvance(button->text()) + 12;
  }
  return widget.sizeHint().width();
}

}  // namespace

DialogUnits DialogLayout::Apply(const QFont& font) const {
  DialogUnits units(font);
  for (const Entry& entry : m_entries) {
    if (entry.fit == Fit::kCaption) {
      units = units.WidenedToHold(entry.units.width(), CaptionWidth(*entry.widget));
    }
  }
  for (const Entry& entry : m_entries) {
    QRect place =
        units.ToPixels(entry.units.x(), entry.units.y(), entry.units.width(), entry.units.height());
    if (entry.fit == Fit::kOwnHeight)
      place.setHeight(entry.widget->sizeHint().height());
    entry.widget->setGeometry(place);
  }
  return units;
}

void FitFrameAround(QWidget& frame, const std::vector<QWidget*>& inside) {
  QRect need;
  for (const QWidget* box : inside) {
    // A box is taller than its mark and caption, which sit in its middle.
    const int height = std::min(box->height(), box->sizeHint().height());
    need |= QRect(box->x(), box->y() + (box->height() - height) / 2, box->width(), height);
  }
  // The frame may grow up to the controls above it, never over them.
  int ceiling = 0;
  if (const QWidget* window = frame.parentWidget()) {
    for (const QWidget* other : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QRect place = other->geometry();
      if (other != &frame && place.bottom() < need.top() &&
          place.left() <= frame.geometry().right() && place.right() >= frame.x() &&
          std::find(inside.begin(), inside.end(), other) == inside.end()) {
        ceiling = std::max(ceiling, place.bottom() + 1);
      }
    }
  }
  const QMargins margins = frame.contentsMargins();
  QRect place = frame.geometry();
  place.setTop(std::min(place.top(), std::max(ceiling, need.top() - margins.top())));
  place.setBottom(std::max(place.bottom(), need.bottom() + margins.bottom()));
  frame.setGeometry(place);
}
}  // namespace zivivar
