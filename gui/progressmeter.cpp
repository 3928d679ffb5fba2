#include "progressmeter.h"

#include "drawprogress.h"

#include <QCoreApplication>
#include <QPainter>

namespace tmbr::gui {

ProgressMeter::ProgressMeter(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ProgressMeter::DrawProgress(double percent)
{
    m_percent = percent;
    repaint();
    QCoreApplication::processEvents();
}

void ProgressMeter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    tmbr::gui::DrawProgress(painter, rect(), m_percent);
}

} // namespace tmbr::gui
