#include "optimizerrunner.h"

namespace tmbr::gui {

OptimizerRunner::OptimizerRunner(audiotools::IOptimizerListener& listener)
    : m_listener(listener)
{
}

OptimizerRunner::~OptimizerRunner() = default;

void OptimizerRunner::convert(const audiotools::OptimizerSettings& settings)
{
    if (!m_optimizer)
        m_optimizer = std::make_unique<audiotools::Mp3Optimizer>(m_listener);
    m_optimizer->convert(settings);
}

} // namespace tmbr::gui
