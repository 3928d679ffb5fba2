#pragma once

#include "audiotoolservices.h"
#include "imainview.h"
#include "mainwindowlogic.h"
#include "platform/qtapplication.h"
#include "platform/qtclock.h"
#include "platform/qtprogramlauncher.h"

#include <QMainWindow>
#include <array>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace tmbr::gui {

class PreviewWidget;

// frmMain: the two tabs, the menus and the preview. Every event goes to
// MainWindowLogic; the window then shows the logic's state.
class MainWindow : public QMainWindow, private IMainView {
    Q_OBJECT
public:
    MainWindow(const codegen::AppFolders& folders, Platform& platform, QWidget* parent = nullptr);

    StartUpResult startUp(IInstanceLock& lock);

    // tmrSplash's interval; 2000 ms unless changed.
    void setSplashInterval(int milliseconds) { m_splashInterval = milliseconds; }

    MainWindowLogic& logic() { return m_logic; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // IMainView
    void showWindow() override;
    void showSplash() override;
    void requestClose() override;
    void focus(Control control) override;
    void showCode(const std::string& code, const std::string& instructions) override;
    std::optional<Playlist> rearrange(const Playlist& playlist) override;

    void createMenus();
    QWidget* createSingleTab();
    QWidget* createJukeboxTab();
    // Runs a handler, then shows the new state.
    template <typename Handler> void handle(Handler handler);
    // A click runs the logic's handler through handle(); a tick goes straight into the settings.
    void onClick(QPushButton* button, void (MainWindowLogic::*handler)());
    void onToggle(QCheckBox* box, bool codegen::GeneratorSettings::*setting);
    void sync();
    AudioToolServices audioToolServices();
    void showRecorder();
    void showOptimizer();

    Platform& m_platform;
    MainWindowLogic m_logic;
    std::string m_temporaryWave;
    QtProgramLauncher m_launcher;
    QtClock m_clock;
    QtApplication m_qtApplication;
    int m_splashInterval = 2000;
    bool m_syncing = false;

    std::array<QAction*, 3> m_mnuSelect {};
    QTabWidget* m_ssTabAudio = nullptr;
    PreviewWidget* m_swfDisplay = nullptr;
    QWidget* m_singlePage = nullptr;
    QWidget* m_jukeboxPage = nullptr;

    QListWidget* m_lstSingle = nullptr;
    QPushButton* m_cmdPlayerColorSingle = nullptr;
    QFrame* m_shpPlayerColorSingle = nullptr;
    QLabel* m_lblPlayerColorSingle = nullptr;
    QLabel* m_lblMp3Name = nullptr;
    QLabel* m_lblMp3Path = nullptr;
    QLabel* m_lblSingleLocalPath = nullptr;
    QLineEdit* m_txtServerPathSingle = nullptr;
    QPushButton* m_cmdSingleOutput = nullptr;
    QLabel* m_lblSingleOutDir = nullptr;
    QCheckBox* m_chkSingleLoop = nullptr;
    QCheckBox* m_chkSingleAuto = nullptr;
    QCheckBox* m_chkEncryptSingle = nullptr;

    QListWidget* m_lstMulti = nullptr;
    QPushButton* m_cmdPlayerColorMulti = nullptr;
    QFrame* m_shpPlayerColorMulti = nullptr;
    QLabel* m_lblPlayerColorMulti = nullptr;
    QListWidget* m_lstMp3Files = nullptr;
    QListWidget* m_lstMp3FileDisplayNames = nullptr;
    QLabel* m_lblMultiLocalPath = nullptr;
    QLineEdit* m_txtServerPathMultiPlayer = nullptr;
    QLineEdit* m_txtServerPathMultiMp3 = nullptr;
    QPushButton* m_cmdMultiOutput = nullptr;
    QLabel* m_lblMultiOutDir = nullptr;
    QCheckBox* m_chkMultiAutoPlay = nullptr;
    QCheckBox* m_chkMultiAutoProgress = nullptr;
    QCheckBox* m_chkMultiRandom = nullptr;
    QLineEdit* m_txtAudioLevel = nullptr;
    QCheckBox* m_chkPlaylistFontBold = nullptr;
};

} // namespace tmbr::gui
