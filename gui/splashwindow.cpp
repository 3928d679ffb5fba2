#include "splashwindow.h"

#include "appicon.h"

#include <QEventLoop>
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
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &QDialog::accept);
}

int SplashWindow::exec()
{
    // A short interval can run out while show() is still handling events;
    // QDialog::exec() would then wait for a window that has already closed.
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    return result();
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
    title.setBold(true);
    title.setPixelSize(36);
    painter.setFont(title);
    painter.drawText(QRectF(170, 62, 280, 44), Qt::AlignLeft | Qt::AlignVCenter, "Tambrel");
    title.setPixelSize(24);
    painter.setFont(title);
    painter.drawText(QRectF(170, 106, 280, 32), Qt::AlignLeft | Qt::AlignVCenter, "Streaming Audio");
    QFont version = font();
    version.setPixelSize(15);
    painter.setFont(version);
    painter.setPen(QColor(220, 228, 245));
    painter.drawText(QRectF(170, 146, 280, 24), Qt::AlignLeft | Qt::AlignVCenter, "Ver 7 for Linux");
    painter.setPen(QColor(150, 160, 190));
    painter.drawText(QRectF(0, height() - 34, width(), 24), Qt::AlignHCenter | Qt::AlignVCenter,
        "Play buttons and jukeboxes for your web pages");
}

} // namespace tmbr::gui
