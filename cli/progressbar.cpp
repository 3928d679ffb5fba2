#include "progressbar.h"

#include <string>
#include <unistd.h>

namespace tmbr::cli {

namespace {
constexpr int kWidth = 30;
}

ProgressBar::ProgressBar(std::FILE* stream)
    : m_stream(stream)
    , m_active(isatty(fileno(stream)) == 1)
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

void ProgressBar::update(double percent)
{
    if (!m_active)
        return;
    const int whole = percent <= 0 ? 0 : percent >= 100 ? 100 : static_cast<int>(percent);
    if (whole == m_shown)
        return;
    m_shown = whole;
    const int filled = whole * kWidth / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), ' ');
    std::fprintf(m_stream, "\r[%s] %3d%%", bar.c_str(), whole);
    std::fflush(m_stream);
}

void ProgressBar::finish()
{
    if (m_active && m_shown >= 0)
        std::fputc('\n', m_stream);
    m_shown = -1;
    m_active = false;
}

} // namespace tmbr::cli
