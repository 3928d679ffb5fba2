#include "appicon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tmbr::gui {

void paintAppIcon(QPainter& painter, const QRectF& area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(area.topLeft());
    painter.scale(area.width() / 64.0, area.height() / 64.0);

    painter.setPen(QPen(QColor(255, 204, 0), 3));
    painter.setBrush(QColor(18, 32, 74));
    painter.drawEllipse(QRectF(3, 3, 58, 58));

    QPainterPath play;
    play.moveTo(20, 18);
    play.lineTo(38, 32);
    play.lineTo(20, 46);
    play.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 204, 0));
    painter.drawPath(play);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 204, 0), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(30, 22, 16, 20), -60 * 16, 120 * 16);
    painter.drawArc(QRectF(30, 15, 24, 34), -60 * 16, 120 * 16);
    painter.restore();
}

QIcon appIcon()
{
    QIcon icon;
    for (const int side : { 16, 32, 48, 64, 128, 256 }) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paintAppIcon(painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void identifyApplication()
{
    QGuiApplication::setApplicationName("tmbrsa");
    QGuiApplication::setDesktopFileName("tmbrsa");
    QGuiApplication::setWindowIcon(appIcon());
}

} // namespace tmbr::gui
