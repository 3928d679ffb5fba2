#include "platform/componentevents.h"

#include "platform/qtparent.h"
#include "vlscom/messagebox.h"
#include "vlscom/messagequeue.h"

#include <QMessageBox>
#include <QSocketNotifier>
#include <utility>

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
    vlscom::SetMessageBoxHandler([](vlscom::HWND, const std::string& text, const std::string& caption,
                                     UINT style) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        const std::pair<UINT, QMessageBox::Icon> icons[] = { { vlscom::MB_ICONSTOP, QMessageBox::Critical },
            { vlscom::MB_ICONQUESTION, QMessageBox::Question },
            { vlscom::MB_ICONEXCLAMATION, QMessageBox::Warning },
            { vlscom::MB_ICONINFORMATION, QMessageBox::Information } };
        for (const auto& [bits, shown] : icons) {
            if ((style & 0xF0) == bits)
                icon = shown;
        }
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        if ((style & 0x0F) == vlscom::MB_YESNO)
            buttons = QMessageBox::Yes | QMessageBox::No;
        else if ((style & 0x0F) == vlscom::MB_YESNOCANCEL)
            buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        QMessageBox box(
            icon, QString::fromStdString(caption), QString::fromStdString(text), buttons, dialogParent());
        const int answer = box.exec();
        const std::pair<int, int> answers[] = { { QMessageBox::Yes, vlscom::IDYES },
            { QMessageBox::No, vlscom::IDNO }, { QMessageBox::Cancel, vlscom::IDCANCEL } };
        for (const auto& [button, id] : answers) {
            if (answer == button)
                return id;
        }
        return vlscom::IDOK;
    });
}

} // namespace tmbr::gui
