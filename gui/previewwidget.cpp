#include "previewwidget.h"

#include "codegen/fileoperations.h"
#include "codegen/playername.h"
#include "codegen/previewpage.h"
#include "platform/loopbackserver.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QUrl>
#include <QtGlobal>
#include <algorithm>
#include <stdexcept>
#include <unistd.h>

#ifdef TMBR_HAVE_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#endif

namespace tmbr::gui {

namespace {

const QColor kOwnLook(110, 120, 135);

int pixels(const std::string& text, int fallback)
{
    bool ok = false;
    const int value = QString::fromStdString(text).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

#ifdef TMBR_HAVE_WEBENGINE
QWebEngineView* engineView(QWidget* view)
{
    return static_cast<QWebEngineView*>(view);
}
#endif

// Stops every media element of the page.
constexpr const char* kPauseScript
    = "document.querySelectorAll('audio,video').forEach(function(m){m.pause();});";

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

bool webViewAvailable()
{
#ifdef TMBR_HAVE_WEBENGINE
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal")
        return false;
    // The web engine ends the program when its process or its resources are missing: look first.
    QString process = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (process.isEmpty())
        process = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + "/QtWebEngineProcess";
    QString resources = qEnvironmentVariable("QTWEBENGINE_RESOURCES_PATH");
    if (resources.isEmpty())
        resources = QLibraryInfo::path(QLibraryInfo::DataPath) + "/resources";
    if (!QFileInfo(process).isExecutable() || !QFileInfo::exists(resources + "/qtwebengine_resources.pak"))
        return false;
    // Its sandbox does not run for root, and then it ends the program; the sandbox stays on unless
    // whoever starts the program switches it off.
    const bool sandboxOff = qEnvironmentVariableIntValue("QTWEBENGINE_DISABLE_SANDBOX") != 0
        || qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains("--no-sandbox");
    return ::geteuid() != 0 || sandboxOff;
#else
    return false;
#endif
}

PreviewWidget::PreviewWidget(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(sizeHint());
}

PreviewWidget::~PreviewWidget()
{
    // The view goes before the server that answers it.
    delete m_view;
    m_view = nullptr;
}

void PreviewWidget::setFolders(const std::string& app, const std::string& scratch)
{
    m_appFolder = app;
    m_scratchFolder = scratch;
    m_scriptCopied = false;
    scheduleRefresh();
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
    m_colourText = m_colour.isValid() ? colour : std::string();
    scheduleRefresh();
    update();
}

void PreviewWidget::setAudio(const PreviewAudio& audio)
{
    if (audio == m_audio)
        return;
    m_audio = audio;
    scheduleRefresh();
}

void PreviewWidget::pause()
{
#ifdef TMBR_HAVE_WEBENGINE
    if (m_view)
        engineView(m_view)->page()->runJavaScript(kPauseScript);
#endif
}

int PreviewWidget::captionHeight() const
{
    return fontMetrics().height() * 2 + 8;
}

void PreviewWidget::scheduleRefresh()
{
    // Many settings change at once when the window shows its state: one page for all of them.
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshPending = false;
        refresh();
    });
}

void PreviewWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (window())
        window()->installEventFilter(this);
    scheduleRefresh();
}

bool PreviewWidget::eventFilter(QObject* watched, QEvent* event)
{
    // A window over the main window (a dialog or message of its own, which blocks it, or another
    // program's, which takes the activation) silences the player.
    const QEvent::Type type = event->type();
    if (watched == window()
        && (type == QEvent::WindowDeactivate || type == QEvent::WindowBlocked || type == QEvent::Hide))
        pause();
    return QWidget::eventFilter(watched, event);
}

void PreviewWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeView();
}

void PreviewWidget::placeView()
{
#ifdef TMBR_HAVE_WEBENGINE
    if (!m_view)
        return;
    const QRect room(0, 0, width(), std::max(0, height() - captionHeight()));
    m_view->setGeometry(room);
    // A player bigger than the room is shown scaled down, as the stand-in is.
    qreal zoom = 1;
    if (m_size.isValid() && !m_size.isEmpty())
        zoom = std::min({ qreal(1), qreal(room.width() - 16) / m_size.width(),
            qreal(room.height() - 16) / m_size.height() });
    engineView(m_view)->setZoomFactor(std::max(zoom, qreal(0.25)));
#endif
}

void PreviewWidget::fallBack(const char* why)
{
    qWarning("Player Preview: %s; the preview shows a stand-in", why);
    m_webViewFailed = true;
    if (m_view) {
        m_view->hide();
        m_view->deleteLater();
        m_view = nullptr;
    }
    m_pageUrl.clear();
    m_shownPage.clear();
    m_shownSettings.clear();
    update();
}

void PreviewWidget::refresh()
{
#ifdef TMBR_HAVE_WEBENGINE
    if (m_webViewFailed || !isVisible() || m_appFolder.empty() || m_scratchFolder.empty())
        return;
    if (!m_view) {
        if (!webViewAvailable()) {
            m_webViewFailed = true;
            return;
        }
        // A profile of its own, kept in memory only: the preview leaves no web data behind.
        auto* profile = new QWebEngineProfile(this);
        auto* view = new QWebEngineView(this);
        auto* page = new QWebEnginePage(profile, view);
        page->setBackgroundColor(palette().base().color());
        view->setPage(page);
        view->setContextMenuPolicy(Qt::NoContextMenu);
        view->setAccessibleName("Player Preview");
        connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    fallBack("the web process ended");
            });
        connect(view, &QWebEngineView::loadFinished, this, [this](bool ok) {
            if (!ok)
                fallBack("the page could not be loaded");
            else
                emit pageShown();
        });
        m_view = view;
        m_server = std::make_unique<LoopbackServer>();
        view->show();
    }
    placeView();

    std::string page;
    std::string settings;
    if (!m_playerName.isEmpty()) {
        codegen::PreviewPlayer player;
        player.playerName = m_playerName.toStdString();
        player.jukebox = m_jukebox;
        player.width = std::to_string(m_size.width());
        player.height = std::to_string(m_size.height());
        player.colour = m_colourText;
        player.mp3Path = m_audio.mp3Path;
        player.loop = m_audio.loop;
        page = codegen::previewPageText(player);
        if (m_jukebox)
            settings
                = codegen::previewJukeboxSettings(player, m_audio.options, m_audio.tracks, m_audio.folder);
    }
    if (page == m_shownPage && settings == m_shownSettings && !m_pageUrl.isEmpty())
        return;

    const std::string folder = m_scratchFolder + "preview/";
    try {
        QDir().mkpath(QString::fromStdString(folder));
        // The shipped script, as a visitor's browser gets it: once per run.
        if (!m_scriptCopied) {
            QFile script(QString::fromStdString(m_appFolder + "swfobject.js"));
            if (!script.open(QIODevice::ReadOnly))
                throw std::runtime_error("swfobject.js cannot be read");
            codegen::writeFile(folder + "swfobject.js", script.readAll().toStdString());
            m_scriptCopied = true;
        }
        codegen::writeFile(folder + "settings_as.xml", settings);
        codegen::writeFile(folder + "preview.html", page);
    } catch (const std::exception& error) {
        fallBack(error.what());
        return;
    }
    // The page's MP3 files are addressed by their local paths: the server serves their folder.
    std::string mp3Folder = m_jukebox ? m_audio.folder : std::string();
    if (!m_jukebox && !m_audio.mp3Path.empty())
        mp3Folder = m_audio.mp3Path.substr(0, m_audio.mp3Path.find_last_of('/') + 1);
    const std::string base = m_server->serve(folder, mp3Folder);
    if (base.empty()) {
        fallBack("no loopback port could be bound");
        return;
    }
    m_shownPage = page;
    m_shownSettings = settings;
    m_pageUrl = QString::fromStdString(base + "preview.html");
    engineView(m_view)->load(QUrl(m_pageUrl));
#endif
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
    painter.setPen(palette().color(QPalette::Text));
    const QRectF caption(0, height() - captionHeight, width(), captionHeight);
    const QString size = QString("%1 x %2").arg(m_size.width()).arg(m_size.height());
    const QString colour = m_colour.isValid() ? "  " + m_colour.name(QColor::HexRgb).toUpper() : QString();
    painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop, m_playerName + "\n" + size + colour);
    if (m_view)
        return;

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
}

} // namespace tmbr::gui
