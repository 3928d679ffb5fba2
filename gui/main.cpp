#include "appicon.h"
#include "codegen/appfolders.h"
#include "codegen/generationerror.h"
#include "mainwindow.h"
#include "messages.h"
#include "platform/componentevents.h"
#include "platform/qtinstancelock.h"
#include "platform/qtplatform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    using namespace tmbr;
    // The player preview's web engine shares the windows' graphics contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    gui::identifyApplication();

    gui::QtPlatform platform;
    // The controls' events and questions reach the windows through the Qt event loop.
    gui::ComponentMessagePump componentMessages;
    gui::installComponentMessageBoxHandler();
    codegen::AppFolders folders;
    try {
        folders = codegen::locateAppFolders(QCoreApplication::applicationFilePath().toStdString());
    } catch (const codegen::GenerationError& error) {
        gui::showError(
            platform.platform().messageBox, codegen::standardErrorText(error.number(), error.description()));
        return 1;
    }

    gui::QtInstanceLock lock(gui::QtInstanceLock::defaultLockFile(folders.scratch));
    gui::MainWindow window(folders, platform.platform());
    platform.cursor().setWindow(&window);
    const gui::StartUpResult started = window.startUp(lock);
    if (started == gui::StartUpResult::AlreadyRunning)
        return 0;
    // A failed start-up whose exit confirmation was answered Yes has closed the window.
    if (!window.isVisible())
        return started == gui::StartUpResult::Ready ? 0 : 1;
    return QApplication::exec();
}
