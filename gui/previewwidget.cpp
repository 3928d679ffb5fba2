#include "previewwidget.h"

#include "codegen/playername.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tmbr::gui {

namespace {

const QColor kOwnLook(110, 120, 135);

int pixels(const std::string& text, int fallback)
{
    bool ok = false;
    const int value = QString::fromStdString(text).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace

QColor colourFromText(const std::string& text)
{
    if (text.size() != 8 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return {};
    bool ok = false;
    const uint rgb = QString::fromStdString(text.substr(2)).toUInt(&ok, 16);
    return ok ? QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
               static_cast<int>(rgb & 0xFF))
              : QColor();
}

PreviewWidget::PreviewWidget(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(sizeHint());
}

void PreviewWidget::setMovie(const std::string& movie, const std::string& colour)
{
    const QString path = QString::fromStdString(movie).section('?', 0, 0);
    const QFileInfo file(path);
    m_playerName = path.isEmpty() ? QString() : file.completeBaseName();
    m_jukebox = file.dir().dirName() == "jukeboxplayers";
    const std::string name = m_playerName.toStdString();
    if (m_playerName.isEmpty()) {
        m_size = {};
    } else if (m_jukebox) {
        const codegen::PlayerSize size = codegen::jukeboxPlayerSize(name);
        m_size = { pixels(size.width, 300), pixels(size.height, 200) };
    } else {
        const codegen::PlayerSize size = codegen::singlePlayerSize(name);
        m_size = { pixels(size.width, 68), pixels(size.height, 22) };
    }
    m_colour = colourFromText(colour);
    update();
}

void PreviewWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    if (m_playerName.isEmpty())
        return;

    const QFontMetrics metrics = painter.fontMetrics();
    const int captionHeight = metrics.height() * 2 + 8;
    // Bigger than the area: scaled down, keeping its proportions.
    QSizeF shown = m_size;
    const QSizeF room(width() - 16, height() - captionHeight - 16);
    if (shown.width() > room.width() || shown.height() > room.height())
        shown.scale(room, Qt::KeepAspectRatio);
    const QRectF player(
        QPointF((width() - shown.width()) / 2, (height() - captionHeight - shown.height()) / 2), shown);

    const QColor base = m_colour.isValid() ? m_colour : kOwnLook;
    QLinearGradient gradient(player.topLeft(), player.bottomLeft());
    gradient.setColorAt(0, base.lighter(135));
    gradient.setColorAt(1, base.darker(125));
    painter.setPen(QPen(base.darker(170), 1));
    painter.setBrush(gradient);
    painter.drawRoundedRect(player, 4, 4);

    const QColor ink = base.lightness() > 140 ? QColor(20, 20, 30) : QColor(245, 245, 245);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    const qreal side = std::min<qreal>(player.height() * 0.5, 14);
    if (m_jukebox) {
        // A play symbol over a playlist of lines.
        const QPointF at = player.topLeft() + QPointF(10, 10);
        QPainterPath play;
        play.moveTo(at);
        play.lineTo(at + QPointF(side, side / 2));
        play.lineTo(at + QPointF(0, side));
        painter.drawPath(play);
        painter.setPen(QPen(ink, 1));
        for (qreal y = at.y() + side + 10; y < player.bottom() - 8; y += 12)
            painter.drawLine(QPointF(player.left() + 10, y), QPointF(player.right() - 10, y));
    } else {
        const QPointF centre = player.center();
        QPainterPath play;
        play.moveTo(centre + QPointF(-side / 2, -side / 2));
        play.lineTo(centre + QPointF(side / 2, 0));
        play.lineTo(centre + QPointF(-side / 2, side / 2));
        painter.drawPath(play);
    }

    painter.setPen(palette().color(QPalette::Text));
    const QRectF caption(0, height() - captionHeight, width(), captionHeight);
    const QString size = QString("%1 x %2").arg(m_size.width()).arg(m_size.height());
    const QString colour = m_colour.isValid() ? "  " + m_colour.name(QColor::HexRgb).toUpper() : QString();
    painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop, m_playerName + "\n" + size + colour);
}

} // namespace tmbr::gui
