// The real windows on a private Xvfb server: window titles as the X11 window
// manager reads them (the platform plugin may add to the title that
// windowTitle() shows), and the player preview's web view, which needs a real
// display.
#include "appicon.h"
#include "mainwindow.h"
#include "messages.h"
#include "modal.h"
#include "previewwidget.h"
#include "tempappfolder.h"
#include "windowtestplatform.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QVariant>
#ifdef TMBR_HAVE_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineView>
#endif
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

// Starts the main window as the program does, with a short splash; true once it is on the screen.
bool startUp(MainWindow& window, WindowTestPlatform& fakes, FakeInstanceLock& lock)
{
    window.setSplashInterval(20);
    fakes.cursor.setWindow(&window);
    return window.startUp(lock) == StartUpResult::Ready && QTest::qWaitForWindowExposed(&window);
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
    ASSERT_TRUE(startUp(window, fakes, lock));
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

// ---- the player preview

// The value of a script in the preview's page, waited for (nothing in a build without the web
// engine, whose web view tests are skipped).
QVariant evaluate(QWidget* view, const QString& script)
{
    QVariant result;
#ifdef TMBR_HAVE_WEBENGINE
    QEventLoop loop;
    static_cast<QWebEngineView*>(view)->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
#else
    (void)view;
    (void)script;
#endif
    return result;
}

// The web view's zoom factor.
qreal zoomOf(QWidget* view)
{
#ifdef TMBR_HAVE_WEBENGINE
    return static_cast<QWebEngineView*>(view)->zoomFactor();
#else
    (void)view;
    return 1;
#endif
}

// Waits until the script's value is true; false after `ms`.
bool waitForScript(QWidget* view, const QString& script, int ms = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (view && evaluate(view, script).toBool())
            return true;
        QTest::qWait(100);
    }
    return false;
}

// The drawn player's box in CSS pixels as "WxH", once the page drew it.
const QString kPlayerBox = "(function(){var p=document.querySelector('.tmbr-button,.tmbr-jukebox');"
                           "if(!p)return '';var r=p.getBoundingClientRect();"
                           "return Math.round(r.width)+'x'+Math.round(r.height);})()";

// How many pixels of the view are near `colour` (the sum of the channels' differences under
// `tolerance`).
int pixelsNear(QWidget* view, const QColor& colour, int tolerance = 24)
{
    const QImage image = view->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green())
                    + std::abs(pixel.blue() - colour.blue())
                < tolerance;
        }
    return count;
}

class PlayerPreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(connection(), nullptr) << "not on the xcb platform";
        // The shipped script, not the stand-in of the temporary application folder.
        std::filesystem::copy_file(TMBR_APP_DIR "/swfobject.js", app.app() + "swfobject.js",
            std::filesystem::copy_options::overwrite_existing);
    }

    // Skips a test of the web view in a sanitizer build: the web engine is not built with them.
    static bool webViewTested()
    {
#ifdef TMBR_HAVE_WEBENGINE
        return webViewAvailable();
#else
        return false;
#endif
    }

    // Shows the preview at `size`, on the fixture's folders; true once it is on the screen.
    bool open(PreviewWidget& preview, QSize size)
    {
        preview.resize(size);
        preview.setFolders(app.app(), app.scratch());
        preview.show();
        return QTest::qWaitForWindowExposed(&preview);
    }

    // The preview shows `movie`; true once its page drew the player at `size`.
    bool shows(PreviewWidget& preview, const std::string& movie, const std::string& colour, QSize size)
    {
        preview.setMovie(movie, colour);
        const QString box = QString("%1x%2").arg(size.width()).arg(size.height());
        return waitForScript(preview.webView(), kPlayerBox + " === '" + box + "'");
    }

    TempAppFolder app { { "tmbr_type04_chameleon.swf", "tmbr_type07_classic.swf", "tmbr_type08_slim.swf",
                            "roundplay.swf" },
        { "jbx_250320_compact.swf", "jbx_300200_classic.swf", "jbx_400300_chameleon.swf" } };
};

// Each kind of player shows as its page draws it, at its size and in its colour; a colour
// change shows at once.
TEST_F(PlayerPreviewTest, ShowsEachPlayerAtItsSizeAndInItsColour)
{
    if (!webViewTested())
        GTEST_SKIP() << "no web view in this build";
    PreviewWidget preview;
    ASSERT_TRUE(open(preview, { 460, 400 }));
    const struct {
        const char* movie;
        QSize size;
    } players[] = {
        { "buttonplayers/tmbr_type04_chameleon.swf", { 75, 25 } },
        { "buttonplayers/tmbr_type07_classic.swf", { 125, 22 } },
        { "buttonplayers/tmbr_type08_slim.swf", { 222, 25 } },
        { "buttonplayers/roundplay.swf", { 68, 22 } },
        { "jukeboxplayers/jbx_250320_compact.swf", { 250, 320 } },
        { "jukeboxplayers/jbx_300200_classic.swf", { 300, 200 } },
        { "jukeboxplayers/jbx_400300_chameleon.swf", { 400, 300 } },
    };
    for (const auto& player : players)
        EXPECT_TRUE(shows(preview, app.app() + player.movie, "", player.size)) << player.movie;
    ASSERT_NE(preview.webView(), nullptr);
    EXPECT_TRUE(preview.pageUrl().startsWith("http://127.0.0.1:")) << preview.pageUrl().toStdString();

    // The button in a colour, then in another.
    const std::string button = app.app() + "buttonplayers/tmbr_type08_slim.swf";
    ASSERT_TRUE(shows(preview, button + "?c=0x00C000", "0x00C000", { 222, 25 }));
    QTest::qWait(300);
    EXPECT_GT(pixelsNear(preview.webView(), QColor(0, 0xC0, 0)), 1000);
    ASSERT_TRUE(waitForScript(preview.webView(), "true"));
    preview.setMovie(button + "?c=0xC00000", "0xC00000");
    ASSERT_TRUE(waitForScript(preview.webView(),
        "getComputedStyle(document.querySelector('.tmbr-button')).backgroundColor === 'rgb(192, 0, 0)'"));
    QTest::qWait(300);
    EXPECT_GT(pixelsNear(preview.webView(), QColor(0xC0, 0, 0)), 1000);
    EXPECT_EQ(pixelsNear(preview.webView(), QColor(0, 0xC0, 0)), 0);

    // The jukebox's colour reaches it through its settings file.
    ASSERT_TRUE(
        shows(preview, app.app() + "jukeboxplayers/jbx_400300_chameleon.swf", "0x0000C0", { 400, 300 }));
    EXPECT_TRUE(waitForScript(preview.webView(), "document.body.innerHTML.indexOf('Sample Track-15') >= 0"));
}

// The share of the pixels of `box` whose colour differs by more than a little between the two
// pictures (text may be smoothed a little differently by the two engines).
double differingShare(const QImage& a, const QImage& b, const QRect& box)
{
    int differing = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            differing += std::max({ std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                             std::abs(p.blue() - q.blue()) })
                > 48;
        }
    return double(differing) / (box.width() * box.height());
}

// The preview looks as the browser of the site's visitors draws the same page: Debian's Chromium,
// headless, on the preview's own address, at the view's size.
TEST_F(PlayerPreviewTest, LooksAsTheBrowserDrawsThePage)
{
    if (!webViewTested())
        GTEST_SKIP() << "no web view in this build";
    if (!std::filesystem::exists("/usr/bin/chromium"))
        GTEST_SKIP() << "Debian's chromium is not installed";
    PreviewWidget preview;
    ASSERT_TRUE(open(preview, { 460, 400 }));
    const struct {
        const char* movie;
        const char* colour;
        QSize size;
    } players[] = {
        { "buttonplayers/tmbr_type08_slim.swf?c=0x00C000", "0x00C000", { 222, 25 } },
        { "jukeboxplayers/jbx_300200_classic.swf", "", { 300, 200 } },
    };
    for (const auto& player : players) {
        ASSERT_TRUE(shows(preview, app.app() + player.movie, player.colour, player.size)) << player.movie;
        QWidget* view = preview.webView();
        ASSERT_TRUE(waitForScript(view,
            "document.querySelector('.tmbr-now') === null "
            "|| document.querySelector('.tmbr-now').textContent.indexOf('Loading') < 0"));
        QTest::qWait(500);
        const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QVariantList r = evaluate(view,
            "(function(){var r=document.querySelector('.tmbr-button,.tmbr-jukebox').getBoundingClientRect();"
            "return [r.left, r.top, r.width, r.height];})()")
                                   .toList();
        ASSERT_EQ(r.size(), 4);
        const QRect box(qRound(r[0].toDouble()), qRound(r[1].toDouble()), qRound(r[2].toDouble()),
            qRound(r[3].toDouble()));

        // The preview's server answers on this thread: the browser runs beside its event loop.
        const QString picture = QString::fromStdString(app.scratch() + "browser.png");
        QProcess browserRun;
        browserRun.setProcessChannelMode(QProcess::MergedChannels);
        browserRun.start("/usr/bin/chromium",
            { "--headless", "--no-sandbox", "--disable-gpu", "--virtual-time-budget=3000",
                QString("--window-size=%1,%2").arg(shown.width()).arg(shown.height()),
                "--screenshot=" + picture, preview.pageUrl() });
        QTRY_VERIFY_WITH_TIMEOUT(browserRun.state() == QProcess::NotRunning, 60000);
        ASSERT_EQ(browserRun.exitCode(), 0) << browserRun.readAll().toStdString();
        const QImage browser = QImage(picture).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(browser.size(), shown.size());
        const double share = differingShare(shown, browser, box);
        EXPECT_LT(share, 0.02) << player.movie;
    }
}

// With an MP3 file located, a click in the preview plays it; a window over the preview, or a
// change of player, silences it.
TEST_F(PlayerPreviewTest, PlaysTheLocatedFileOnAClick)
{
    if (!webViewTested())
        GTEST_SKIP() << "no web view in this build";
    const std::string music = app.folder("my music");
    const std::string mp3 = music + "a \"quoted\" song.mp3";
    ASSERT_EQ(std::system(("sox -D -n -r 44100 -c 1 -b 16 '" + music
                  + "tone.wav' synth 20 sine 440 && lame --quiet '" + music + "tone.wav' '" + mp3 + "'")
                              .c_str()),
        0);
    PreviewWidget preview;
    ASSERT_TRUE(open(preview, { 330, 240 }));
    PreviewAudio audio;
    audio.mp3Path = mp3;
    preview.setAudio(audio);
    ASSERT_TRUE(shows(preview, app.app() + "buttonplayers/tmbr_type08_slim.swf", "", { 222, 25 }));
    QWidget* view = preview.webView();
    const QVariant centre = evaluate(view,
        "(function(){var r=document.querySelector('.tmbr-toggle').getBoundingClientRect();"
        "return [r.left+r.width/2, r.top+r.height/2];})()");
    const QVariantList xy = centre.toList();
    ASSERT_EQ(xy.size(), 2);
    // Input reaches the page through the widget that shows its frames, and the web engine drops
    // it until the page's first frames are on the screen: wait for two of them.
    QTRY_VERIFY_WITH_TIMEOUT(view->focusProxy() && view->focusProxy()->isVisible(), 10000);
    evaluate(view,
        "window.framesShown = 0; requestAnimationFrame(function () { window.framesShown++; "
        "requestAnimationFrame(function () { window.framesShown++; }); }); true");
    ASSERT_TRUE(waitForScript(view, "window.framesShown === 2"));
    QWidget* input = view->focusProxy();
    const qreal zoom = zoomOf(view);
    const QPoint at(static_cast<int>(xy[0].toDouble() * zoom), static_cast<int>(xy[1].toDouble() * zoom));
    // A machine under load may still lose the first click to a frame in flight: one more, only
    // while nothing plays.
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(input, Qt::LeftButton, {}, at);
        if (waitForScript(view, "!document.querySelector('audio').paused", 3000))
            break;
    }
    EXPECT_TRUE(waitForScript(
        view, "!document.querySelector('audio').paused && document.querySelector('audio').currentTime > 0.3"))
        << evaluate(view,
               "document.querySelector('audio').error ? 'error '+document.querySelector('audio').error.code "
               ": 'no error'")
               .toString()
               .toStdString();
    // A message over the preview silences it.
    onModal<QMessageBox>([](QMessageBox* box) {
        QTest::qWait(300);
        box->close();
    });
    QMessageBox::information(&preview, "Message", "Over the preview");
    EXPECT_TRUE(waitForScript(view, "document.querySelector('audio').paused"));
}

// The main window's preview follows the player chosen in the list.
TEST_F(PlayerPreviewTest, TheMainWindowPreviewsTheChosenPlayer)
{
    if (!webViewTested())
        GTEST_SKIP() << "no web view in this build";
    WindowTestPlatform fakes;
    FakeInstanceLock lock;
    MainWindow window(app.folders(), fakes.platform);
    ASSERT_TRUE(startUp(window, fakes, lock));
    // The splash has gone.
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget() && !QApplication::activePopupWidget(), 5000);
    auto* preview = window.findChild<PreviewWidget*>("swfDisplay");
    ASSERT_NE(preview, nullptr);
    auto* list = window.findChild<QListWidget*>("lstSingle");
    ASSERT_NE(list, nullptr);
    for (const char* name : { "tmbr_type04_chameleon", "tmbr_type08_slim" }) {
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name;
        list->scrollToItem(items[0]);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items[0]).center());
        const QSize size = preview->playerSize();
        EXPECT_EQ(preview->playerName().toStdString(), name);
        EXPECT_TRUE(waitForScript(
            preview->webView(), kPlayerBox + QString(" === '%1x%2'").arg(size.width()).arg(size.height())))
            << name;
    }
    window.hide();
}

// Where no web view can run, the preview draws its stand-in and the program goes on.
TEST_F(PlayerPreviewTest, DrawsTheStandInWithoutTheWebEngine)
{
    const QByteArray saved = qgetenv("QTWEBENGINEPROCESS_PATH");
    qputenv("QTWEBENGINEPROCESS_PATH", "/nonexistent/QtWebEngineProcess");
    EXPECT_FALSE(webViewAvailable());
    PreviewWidget preview;
    ASSERT_TRUE(open(preview, { 330, 240 }));
    preview.setMovie(app.app() + "jukeboxplayers/jbx_300200_classic.swf", "0x00FF00");
    QTest::qWait(200);
    EXPECT_EQ(preview.webView(), nullptr);
    // The stand-in's gradient of the colour over much of the 300 x 200 player.
    EXPECT_GT(pixelsNear(&preview, QColor(0, 0xE0, 0), 80), 300 * 200 / 4);
    if (saved.isEmpty())
        qunsetenv("QTWEBENGINEPROCESS_PATH");
    else
        qputenv("QTWEBENGINEPROCESS_PATH", saved);
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
#ifdef TMBR_HAVE_WEBENGINE
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
        QApplication application(argc, argv);
        result = RUN_ALL_TESTS();
    }
    return result;
}
