#pragma once

#include <QObject>

class QSocketNotifier;

namespace tmbr::gui {

// Runs the component runtime's messages of the calling (window) thread from
// the Qt event loop, so that the controls' events reach their windows while
// the program waits for input. One per thread that creates controls.
class ComponentMessagePump : public QObject {
    Q_OBJECT
public:
    explicit ComponentMessagePump(QObject* parent = nullptr);
    // Runs the messages waiting now.
    void pump();

private:
    QSocketNotifier* m_notifier = nullptr;
};

// Questions and notices of the controls (the encoder's overwrite question)
// appear as Qt message boxes over the active window.
void installComponentMessageBoxHandler();

} // namespace tmbr::gui
