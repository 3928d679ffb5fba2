#pragma once

#include "audiotoolservices.h"
#include "mp3optimizerlogic.h"
#include "optimizerrunner.h"
#include "platform/qtcursor.h"
#include "viewrefresh.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tmbr::gui {

class ProgressMeter;

// frmMp3Opti, "Mp3 Optimizer": every event goes to Mp3OptimizerLogic, then the
// window shows the logic's state. The run's events arrive while the window's
// thread pumps the component messages (ComponentMessagePump).
class OptimizerWindow : public QDialog {
    Q_OBJECT
public:
    // `runner`: the controls; by default (null) the real ones, created at the first run.
    explicit OptimizerWindow(
        AudioToolServices services, QWidget* parent = nullptr, IOptimizerRunner* runner = nullptr);
    ~OptimizerWindow() override;
    OptimizerWindow(const OptimizerWindow&) = delete;
    OptimizerWindow& operator=(const OptimizerWindow&) = delete;

private:
    // Forwards the run's events to the logic and shows the new state.
    class Listener : public audiotools::IOptimizerListener {
    public:
        explicit Listener(OptimizerWindow& window)
            : m_window(window)
        {
        }
        void started() override;
        void progress(int percent) override;
        void finished(audiotools::OptimizerRoute route) override;
        void failed(const std::string& errorText) override;

    private:
        OptimizerWindow& m_window;
    };

    template <typename Handler> void handle(Handler handler);
    void sync();
    void syncOnce();

    QtCursor m_cursor;
    Listener m_listener { *this };
    OptimizerRunner m_ownRunner { m_listener };
    Mp3OptimizerLogic m_logic;
    ViewRefresh m_refresh;
    bool m_closing = false;

    QLabel* m_lblInputSource = nullptr;
    QLabel* m_lblOutputDestination = nullptr;
    QPushButton* m_cmdConvert = nullptr;
    ProgressMeter* m_picStatus = nullptr;
    QComboBox* m_cmbMp3Quality = nullptr;
    QRadioButton* m_optRe44 = nullptr;
    QRadioButton* m_optRe22 = nullptr;
    QRadioButton* m_optRe11 = nullptr;
    QCheckBox* m_chkConvertMono = nullptr;
};

} // namespace tmbr::gui
