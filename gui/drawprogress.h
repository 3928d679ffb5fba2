#pragma once

#include <QColor>
#include <QRect>
#include <string>

class QPainter;

namespace tmbr::gui {

// The bar colour; the background is white.
inline const QColor kProgressBlue(0, 0, 128);

// The percentage text: the integer part of percent + 0.5, then "%"
// (49.5 gives "50%").
std::string progressText(double percent);

// Paints the progress meter into `area`: white, the text centred in dark blue,
// then from the left edge a dark blue bar over percent / 100 of the width
// (none at 0 or below, the whole width at 100 or above), the text showing
// white where the bar covers it.
void DrawProgress(QPainter& painter, const QRect& area, double percent);

} // namespace tmbr::gui
