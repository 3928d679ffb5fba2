#include "platform/componentevents.h"

#include "platform/qtparent.h"
#include "vlscom/messagebox.h"
#include "vlscom/messagequeue.h"

#include <QMessageBox>
#include <QSocketNotifier>

namespace tmbr::gui {

ComponentMessagePump::ComponentMessagePump(QObject* parent)
    : QObject(parent)
{
    const int fd = vlscom::MessageQueueFd();
    if (fd < 0)
        return;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ComponentMessagePump::pump);
}

void ComponentMessagePump::pump()
{
    vlscom::PumpMessages();
}

void installComponentMessageBoxHandler()
{
    vlscom::SetMessageBoxHandler(
        [](vlscom::HWND, const std::string& text, const std::string& caption, UINT style) {
            QMessageBox::Icon icon = QMessageBox::NoIcon;
            switch (style & 0xF0) {
            case vlscom::MB_ICONSTOP:
                icon = QMessageBox::Critical;
                break;
            case vlscom::MB_ICONQUESTION:
                icon = QMessageBox::Question;
                break;
            case vlscom::MB_ICONEXCLAMATION:
                icon = QMessageBox::Warning;
                break;
            case vlscom::MB_ICONINFORMATION:
                icon = QMessageBox::Information;
                break;
            default:
                break;
            }
            QMessageBox::StandardButtons buttons = QMessageBox::Ok;
            switch (style & 0x0F) {
            case vlscom::MB_YESNO:
                buttons = QMessageBox::Yes | QMessageBox::No;
                break;
            case vlscom::MB_YESNOCANCEL:
                buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
                break;
            default:
                break;
            }
            QMessageBox box(
                icon, QString::fromStdString(caption), QString::fromStdString(text), buttons, dialogParent());
            switch (box.exec()) {
            case QMessageBox::Yes:
                return vlscom::IDYES;
            case QMessageBox::No:
                return vlscom::IDNO;
            case QMessageBox::Cancel:
                return vlscom::IDCANCEL;
            default:
                return vlscom::IDOK;
            }
        });
}

} // namespace tmbr::gui
