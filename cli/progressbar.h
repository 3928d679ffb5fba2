#pragma once

#include <cstdio>

namespace tmbr::cli {

// A progress bar for long audio work, drawn on one line of a terminal:
// "[#########           ]  45%". Draws nothing when the stream is not a
// terminal (output piped or redirected), so scripts see clean output.
class ProgressBar {
public:
    explicit ProgressBar(std::FILE* stream = stderr);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // percent from 0 to 100; values outside are clamped. Redraws only when the
    // whole percentage changes.
    void update(double percent);
    // Ends the bar's line (also done by the destructor).
    void finish();

private:
    std::FILE* m_stream;
    bool m_active;
    int m_shown = -1;
};

} // namespace tmbr::cli
