#pragma once

#include <QIcon>
#include <QRectF>

class QPainter;

namespace tmbr::gui {

// The program's icon (the same drawing as packaging/tmbrsa.svg): a yellow
// play button with sound waves on a dark blue disc.
void paintAppIcon(QPainter& painter, const QRectF& area);
QIcon appIcon();

// Names the running application towards the desktop: application and desktop
// file name "tmbrsa" (the window class that the launcher entry names) and the
// icon. No display name is set, since the platform would append it to every
// window title; titles reach the window manager exactly as the windows set them.
void identifyApplication();

} // namespace tmbr::gui
