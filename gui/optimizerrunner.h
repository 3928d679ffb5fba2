#pragma once

#include "audiotools/mp3optimizer.h"
#include "ioptimizerrunner.h"

#include <memory>

namespace tmbr::gui {

// The optimizer window's controls: an audiotools::Mp3Optimizer created at the
// first run (its creation failing is a set-up failure of that run) and kept
// for the window's life; a run still going on ends with the window.
class OptimizerRunner : public IOptimizerRunner {
public:
    explicit OptimizerRunner(audiotools::IOptimizerListener& listener);
    ~OptimizerRunner() override;
    OptimizerRunner(const OptimizerRunner&) = delete;
    OptimizerRunner& operator=(const OptimizerRunner&) = delete;
    void convert(const audiotools::OptimizerSettings& settings) override;

private:
    audiotools::IOptimizerListener& m_listener;
    std::unique_ptr<audiotools::Mp3Optimizer> m_optimizer;
};

} // namespace tmbr::gui
