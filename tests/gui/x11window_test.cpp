// Window titles as the X11 window manager reads them, on a private Xvfb
// server: the platform plugin may add to the title that windowTitle() shows.
#include "appicon.h"
#include "mainwindow.h"
#include "messages.h"
#include "modal.h"
#include "tempappfolder.h"
#include "windowtestplatform.h"

#include <QApplication>
#include <QTest>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace tmbr::gui::test {
namespace {

xcb_connection_t* connection()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The bytes of a window property, as any other client of the server reads them.
std::string property(QWidget& window, const char* name)
{
    xcb_connection_t* c = connection();
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(strlen(name)), name), nullptr);
    if (!atom)
        return {};
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c,
        xcb_get_property(
            c, 0, static_cast<xcb_window_t>(window.winId()), atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
        nullptr);
    std::free(atom);
    if (!reply)
        return {};
    std::string value(static_cast<const char*>(xcb_get_property_value(reply)),
        static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    return value;
}

std::string wmName(QWidget& window)
{
    return property(window, "_NET_WM_NAME");
}

class X11TitlesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(connection(), nullptr) << "not on the xcb platform";
        identifyApplication();
    }
};

TEST_F(X11TitlesTest, TheMainWindowAndTheMessageBoxesCarryTheirTitlesExactly)
{
    TempAppFolder app { { "tmbr_type04_chameleon.swf" }, { "jbx_300200_chameleon.swf" } };
    WindowTestPlatform fakes;
    FakeInstanceLock lock;
    MainWindow window(app.folders(), fakes.platform);
    window.setSplashInterval(20);
    fakes.cursor.setWindow(&window);
    ASSERT_EQ(window.startUp(lock), StartUpResult::Ready);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(wmName(window), text::kMainTitle);
    // The class part of the window class (instance name, class) names the
    // launcher entry, StartupWMClass=tmbrsa.
    const std::string wmClass = property(window, "WM_CLASS");
    EXPECT_EQ(wmClass.substr(wmClass.find('\0') + 1), std::string("tmbrsa\0", 7));

    const auto titleOfBox = [](auto showBox) {
        auto title = std::make_shared<std::string>();
        onModal<QMessageBox>([title](QMessageBox* box) {
            if (QTest::qWaitForWindowExposed(box))
                *title = wmName(*box);
            box->close();
        });
        showBox();
        return *title;
    };
    EXPECT_EQ(titleOfBox([&] { showError(fakes.messageBox, "ERROR TEXT"); }), "Error");
    EXPECT_EQ(titleOfBox([&] { showMessage(fakes.messageBox, "MESSAGE TEXT"); }), " Message");
    EXPECT_EQ(titleOfBox([&] { confirm(fakes.messageBox, "QUESTION?"); }), "Confirm");
    window.hide();
}

// A private X server, started before the application and stopped after it.
class Xvfb {
public:
    // Waits until the server is ready and names its display; none when it cannot start.
    std::optional<std::string> start()
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return std::nullopt;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            // A test run that dies takes its server with it.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            const std::string fd = std::to_string(ready[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                "1280x1024x24", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(ready[1]);
        std::string display;
        char c = 0;
        while (m_pid > 0 && ::read(ready[0], &c, 1) == 1 && c != '\n')
            display += c;
        ::close(ready[0]);
        if (display.empty())
            return std::nullopt;
        return ":" + display;
    }

    ~Xvfb()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }

private:
    ::pid_t m_pid = -1;
};

} // namespace
} // namespace tmbr::gui::test

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    tmbr::gui::test::Xvfb server;
    const std::optional<std::string> display = server.start();
    if (!display) {
        std::fprintf(stderr, "Xvfb could not be started\n");
        return 1;
    }
    ::setenv("DISPLAY", display->c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    int result = 0;
    {
        QApplication application(argc, argv);
        result = RUN_ALL_TESTS();
    }
    return result;
}
