#include "splashwindow.h"

#include "appicon.h"

#include <QLinearGradient>
#include <QPainter>

namespace tmbr::gui {

SplashWindow::SplashWindow(QWidget* parent, int intervalMs)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName("frmSplash");
    setModal(true);
    setFixedSize(460, 260);
    setCursor(Qt::WaitCursor);
    m_timer.setObjectName("tmrSplash");
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &QDialog::accept);
}

void SplashWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_timer.start();
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, QColor(18, 32, 74));
    background.setColorAt(1, QColor(6, 12, 32));
    painter.fillRect(rect(), background);

    paintAppIcon(painter, QRectF(28, 64, 120, 120));

    painter.setPen(QColor(255, 204, 0));
    QFont title = font();
    title.setPointSize(22);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(170, 70, 270, 80), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
        "Tambrel\nStreaming Audio");
    QFont version = font();
    version.setPointSize(12);
    painter.setFont(version);
    painter.setPen(QColor(220, 228, 245));
    painter.drawText(QRectF(170, 150, 270, 24), Qt::AlignLeft | Qt::AlignVCenter, "Ver 7 for Linux");
    painter.setPen(QColor(150, 160, 190));
    painter.drawText(QRectF(0, height() - 34, width(), 24), Qt::AlignHCenter | Qt::AlignVCenter,
        "Play buttons and jukeboxes for your web pages");
}

} // namespace tmbr::gui
