#pragma once

#include "audiotoolservices.h"
#include "platform/imci.h"
#include "platform/qtcursor.h"
#include "platform/qttimer.h"
#include "quickaudiorecorderlogic.h"
#include "recorderencoderclient.h"
#include "viewrefresh.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace tmbr::gui {

class ProgressMeter;

// frmQuickAudioRecorder, "Quick Audio Recorder": every event goes to
// QuickAudioRecorderLogic, then the window shows the logic's state. Closing
// the window closes the sound device.
class RecorderWindow : public QDialog {
    Q_OBJECT
public:
    // `temporaryWave`: where a recording waits for MP3 encoding.
    RecorderWindow(
        AudioToolServices services, IMci& mci, const std::string& temporaryWave, QWidget* parent = nullptr);
    ~RecorderWindow() override;
    RecorderWindow(const RecorderWindow&) = delete;
    RecorderWindow& operator=(const RecorderWindow&) = delete;

    void done(int result) override;

private:
    template <typename Handler> void handle(Handler handler);
    void sync();
    void syncOnce();
    void unload();

    QtCursor m_cursor;
    QtTimer m_timer1;
    QtTimer m_readoutTimer;
    RecorderEncoderClient m_encoder;
    QuickAudioRecorderLogic m_logic;
    bool m_unloaded = false;
    ViewRefresh m_refresh;

    QRadioButton* m_opt44 = nullptr;
    QRadioButton* m_opt22 = nullptr;
    QRadioButton* m_opt11 = nullptr;
    QComboBox* m_cmbChannels = nullptr;
    QComboBox* m_cmbOutputFormat = nullptr;
    QComboBox* m_cmbQuality = nullptr;
    QPushButton* m_cmdStop = nullptr;
    QPushButton* m_cmdPlay = nullptr;
    QPushButton* m_cmdSave = nullptr;
    QLabel* m_lblTime = nullptr;
    QLabel* m_lblRec = nullptr;
    QProgressBar* m_prgInputLevel = nullptr;
    ProgressMeter* m_picStatus = nullptr;
    QLabel* m_lblInputFile = nullptr;
    QLabel* m_lblOutputFile = nullptr;
};

} // namespace tmbr::gui
