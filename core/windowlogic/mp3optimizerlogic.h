#pragma once

#include "audiotools/mp3optimizer.h"
#include "bitratelist.h"
#include "ioptimizerrunner.h"
#include "platform/iapplication.h"
#include "platform/icursor.h"
#include "platform/ifiledialogs.h"
#include "platform/imessagebox.h"

#include <string>
#include <vector>

namespace tmbr::gui {

// What frmMp3Opti shows; the window reflects it after every event.
struct OptimizerState {
    SampleRateOption sampleRateOption = SampleRateOption::Hz22050;
    std::vector<std::string> cmbMp3Quality;
    int cmbMp3QualityIndex = -1;
    bool chkConvertMono = true;
    std::string lblInputSource; // empty: not chosen
    std::string lblInputSourceTip;
    std::string lblOutputDestination;
    std::string lblOutputDestinationTip;
    bool cmdConvertEnabled = true;
    bool picStatusVisible = false;
    double progress = 0; // percent drawn in picStatus
};

// Services of the optimizer window; all outlive the logic.
struct OptimizerServices {
    IMessageBox& messageBox;
    IFileDialogs& fileDialogs;
    ICursor& cursor;
    IApplication& application;
    IOptimizerRunner& runner;
};

// frmMp3Opti: chooses the files and the output format, starts the run and
// shows its events.
class Mp3OptimizerLogic : public audiotools::IOptimizerListener {
public:
    explicit Mp3OptimizerLogic(OptimizerServices services);

    const OptimizerState& state() const { return m_state; }

    void load();
    void optReClick(SampleRateOption option);
    void cmbMp3QualityClick(int index);
    void chkConvertMonoClick(bool checked);
    void cmdInputClick();
    void cmdOutputClick();
    void cmdConvertClick();

    // IOptimizerListener: the run's events.
    void started() override;
    void progress(int percent) override;
    void finished(audiotools::OptimizerRoute route) override;
    void failed(const std::string& errorText) override;

private:
    void setInput(const std::string& path);
    void setOutput(const std::string& path);

    OptimizerServices m_services;
    OptimizerState m_state;
    // The output of the run in progress, as its finish message names it.
    std::string m_runOutput;
};

} // namespace tmbr::gui
