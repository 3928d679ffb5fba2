#include "drawprogress.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace tmbr::gui {

std::string progressText(double percent)
{
    if (!std::isfinite(percent))
        percent = 0;
    // fraction × 100 + 0.5 is computed as percent + 0.5: the same value without
    // the rounding error of dividing first (49.5 must give 50).
    return std::to_string(static_cast<long long>(std::trunc(percent + 0.5))) + "%";
}

void DrawProgress(QPainter& painter, const QRect& area, double percent)
{
    painter.save();
    painter.fillRect(area, Qt::white);

    const QString text = QString::fromStdString(progressText(percent));
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.height();
    const QRect textRect(area.left() + area.width() / 2 - width / 2,
        area.top() + area.height() / 2 - height / 2, width, height);
    painter.setPen(kProgressBlue);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);

    const double fraction = std::isfinite(percent) ? percent / 100 : 0;
    if (fraction > 0) {
        const int barWidth = fraction >= 1 ? area.width() : static_cast<int>(fraction * area.width());
        const QRect bar(area.left(), area.top(), barWidth, area.height());
        painter.fillRect(bar, kProgressBlue);
        // Where the bar covers the text the text turns white, as an inverting pen would draw it.
        painter.setClipRect(bar);
        painter.setPen(Qt::white);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);
    }
    painter.restore();
}

} // namespace tmbr::gui
