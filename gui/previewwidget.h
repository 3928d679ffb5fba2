#pragma once

#include "codegen/jukeboxtemplates.h"

#include <QColor>
#include <QSize>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace tmbr::gui {

class LoopbackServer;

// What the previewed player plays: the button's MP3 file, or the jukebox's chosen tracks of one
// folder with the playlist options. Empty: the button is silent, the jukebox shows its samples.
struct PreviewAudio {
    std::string mp3Path; // the button's file, absolute
    bool loop = false;
    std::string folder; // the jukebox's tracks' folder, ending with "/"
    std::vector<codegen::Track> tracks;
    codegen::JukeboxOptions options;
    bool operator==(const PreviewAudio&) const = default;
};

// The preview of the selected player. Where a web view can run it shows the player itself: a
// page in the scratch folder's "preview/" folder that draws the player with the shipped
// swfobject.js, served by a loopback server of its own (never from file://), and a click in it
// plays what the player would play. Elsewhere (no web engine, the offscreen platform, a web
// process that cannot start or that ended) it draws a stand-in of the player at its size (from
// its name, by the rules of its template folder) in its colour. Either way it names the player,
// its size and its colour below.
class PreviewWidget : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWidget(QWidget* parent = nullptr);
    ~PreviewWidget() override;
    PreviewWidget(const PreviewWidget&) = delete;
    PreviewWidget& operator=(const PreviewWidget&) = delete;

    // Where swfobject.js lies (the application folder) and the scratch folder; both end with "/".
    // Without them there is no web view.
    void setFolders(const std::string& app, const std::string& scratch);

    // `movie`: a player file path, optionally followed by "?c=" and a colour
    // text; `colour`: the colour the player shows ("0xRRGGBB"), empty for its
    // own look. An empty movie shows nothing.
    void setMovie(const std::string& movie, const std::string& colour);
    void setAudio(const PreviewAudio& audio);

    const QString& playerName() const { return m_playerName; }
    bool isJukebox() const { return m_jukebox; }
    // The player's size in pixels (empty without a movie).
    QSize playerSize() const { return m_size; }
    // Invalid for the player's own look.
    QColor playerColour() const { return m_colour; }

    // The web view showing the player, or null while the stand-in is drawn.
    QWidget* webView() const { return m_view; }
    // The address of the page the web view shows; empty without one.
    QString pageUrl() const { return m_pageUrl; }
    // Silences the player (the page stays).
    void pause();

    QSize sizeHint() const override { return { 330, 240 }; }

signals:
    // The web view has loaded a page for the current player.
    void pageShown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int captionHeight() const;
    void scheduleRefresh();
    void refresh();
    // The web view is given up for the stand-in; `why` goes to the log.
    void fallBack(const char* why);
    void placeView();

    QString m_playerName;
    bool m_jukebox = false;
    QSize m_size;
    QColor m_colour;
    std::string m_colourText;
    PreviewAudio m_audio;
    std::string m_appFolder;
    std::string m_scratchFolder;
    bool m_refreshPending = false;
    bool m_webViewFailed = false;
    bool m_scriptCopied = false;
    std::string m_shownPage;
    std::string m_shownSettings;
    QString m_pageUrl;
    std::unique_ptr<LoopbackServer> m_server;
    QWidget* m_view = nullptr; // the web view, when one runs
};

// "0xRRGGBB" as a colour; invalid for any other text.
QColor colourFromText(const std::string& text);

// Whether a web view can run here: built with the web engine, not on the offscreen or minimal
// platform, the web engine's process and resources are installed, and not as root unless the
// web engine's sandbox was switched off (QTWEBENGINE_DISABLE_SANDBOX=1).
bool webViewAvailable();

} // namespace tmbr::gui
