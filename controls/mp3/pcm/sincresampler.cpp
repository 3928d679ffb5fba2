#include "sincresampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace vlsmp3 {

namespace {

double windowedSinc(double x, double cutoff, int length)
{
    x /= length;
    x = std::clamp(x, 0.0, 1.0);
    const double centred = x - 0.5;
    const double pi = std::numbers::pi;
    const double window = 0.42 - 0.5 * std::cos(2 * pi * x) + 0.08 * std::cos(4 * pi * x);
    if (std::fabs(centred) < 1e-9)
        return cutoff;
    return window * std::sin(length * pi * cutoff * centred) / (pi * length * centred);
}

} // namespace

SincResampler::SincResampler(std::int64_t sourceRate, std::int64_t targetRate)
    : m_ratio(double(sourceRate) / double(targetRate))
{
    m_phases = static_cast<int>(std::min<std::int64_t>(targetRate / std::gcd(sourceRate, targetRate), 320));
    m_length = std::fabs(m_ratio - std::floor(m_ratio + 0.5)) < 0.0001 ? 32 : 31;
    m_cutoff = std::min(1.0, 1.0 / m_ratio);
    m_history.assign(static_cast<std::size_t>(m_length) + 1, 0.0f);
}

void SincResampler::reset()
{
    std::fill(m_history.begin(), m_history.end(), 0.0f);
    m_timeOffset = 0;
}

std::span<const double> SincResampler::row(int r) const
{
    const_cast<SincResampler*>(this)->buildTable();
    const std::size_t width = static_cast<std::size_t>(m_length) + 1;
    return std::span(m_table).subspan(static_cast<std::size_t>(r) * width, width);
}

void SincResampler::buildTable()
{
    if (!m_table.empty())
        return;
    const std::size_t width = static_cast<std::size_t>(m_length) + 1;
    m_table.resize(width * static_cast<std::size_t>(2 * m_phases + 1));
    for (int r = 0; r <= 2 * m_phases; ++r) {
        const double offset = double(r - m_phases) / (2.0 * m_phases);
        double* coefficients = m_table.data() + static_cast<std::size_t>(r) * width;
        double sum = 0;
        for (int i = 0; i <= m_length; ++i)
            sum += coefficients[i] = windowedSinc(i - offset, m_cutoff, m_length);
        for (int i = 0; i <= m_length; ++i)
            coefficients[i] /= sum;
    }
}

void SincResampler::process(std::span<const float> input, std::vector<float>& out)
{
    buildTable();
    while (!input.empty()) {
        const std::size_t used = pass(input, out);
        input = input.subspan(used);
    }
}

std::size_t SincResampler::pass(std::span<const float> input, std::vector<float>& out)
{
    const auto count = static_cast<std::int64_t>(input.size());
    const int half = m_length / 2;
    const std::int64_t historySize = m_length + 1;
    const std::size_t width = static_cast<std::size_t>(m_length) + 1;
    // The history and then the block in one run, so that every output reads its taps in a row.
    m_work.resize(static_cast<std::size_t>(historySize + count));
    std::copy(m_history.begin(), m_history.end(), m_work.begin());
    std::copy(input.begin(), input.end(), m_work.begin() + historySize);
    const float* samples = m_work.data() + historySize; // samples[at] for -historySize <= at < count
    std::int64_t j = 0;
    std::int64_t produced = 0;
    for (std::int64_t k = 0;; ++k) {
        const double time = double(k) * m_ratio - m_timeOffset;
        j = static_cast<std::int64_t>(std::floor(time));
        if (j + m_length - half >= count)
            break;
        const double offset = time - (double(j) + 0.5 * (m_length % 2));
        const int r = std::clamp(
            static_cast<int>(std::floor(offset * 2 * m_phases + m_phases + 0.5)), 0, 2 * m_phases);
        const double* coefficients = m_table.data() + static_cast<std::size_t>(r) * width;
        const std::int64_t first = j - half;
        double value = 0;
        if (first + historySize >= 0) {
            // Four running sums: the additions of one output no longer wait on each other.
            const float* taps = samples + first;
            double sums[4] = { 0, 0, 0, 0 };
            int i = 0;
            for (; i + 3 <= m_length; i += 4) {
                sums[0] += taps[i] * coefficients[i];
                sums[1] += taps[i + 1] * coefficients[i + 1];
                sums[2] += taps[i + 2] * coefficients[i + 2];
                sums[3] += taps[i + 3] * coefficients[i + 3];
            }
            for (; i <= m_length; ++i)
                sums[0] += taps[i] * coefficients[i];
            value = (sums[0] + sums[1]) + (sums[2] + sums[3]);
        } else {
            // A time offset far behind reaches before the history: those taps read silence.
            for (int i = 0; i <= m_length; ++i) {
                const std::int64_t at = first + i;
                if (at + historySize >= 0)
                    value += samples[at] * coefficients[i];
            }
        }
        out.push_back(static_cast<float>(value));
        ++produced;
    }
    std::int64_t used = std::min(count, j + m_length - half);
    // A time offset so far ahead that nothing could be consumed would stall; skip the block's
    // input instead.
    if (used <= 0)
        used = count;
    m_timeOffset += double(used) - double(produced) * m_ratio;
    // The last historySize samples before the new start: they are in the run already.
    std::copy(m_work.begin() + used, m_work.begin() + used + historySize, m_history.begin());
    return static_cast<std::size_t>(used);
}

} // namespace vlsmp3
