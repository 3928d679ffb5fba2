#pragma once

#include <QIcon>
#include <QRectF>

class QPainter;

namespace tmbr::gui {

// The program's icon (the same drawing as packaging/tmbrsa.svg): a yellow
// play button with sound waves on a dark blue disc.
void paintAppIcon(QPainter& painter, const QRectF& area);
QIcon appIcon();

} // namespace tmbr::gui
