#pragma once

#include "audiotools/mp3optimizer.h"

namespace tmbr::gui {

// The optimizer's controls (EncoderOptimizer, Converter and the decoder it
// creates) as the window drives them: audiotools::Mp3Optimizer in the program.
class IOptimizerRunner {
public:
    virtual ~IOptimizerRunner() = default;
    // Sets one run up and starts it; its events reach the window logic as an
    // audiotools::IOptimizerListener. Throws std::exception when the set-up fails.
    virtual void convert(const audiotools::OptimizerSettings& settings) = 0;
};

} // namespace tmbr::gui
