#pragma once

// One channel of Blackman-windowed sinc resampling, carried from block to block: the filter table
// of up to 641 phases, the last filter-length + 1 input samples and the fractional time offset.

#include <cstdint>
#include <span>
#include <vector>

namespace vlsmp3 {

class SincResampler {
public:
    // Rates in Hz, both above 0.
    SincResampler(std::int64_t sourceRate, std::int64_t targetRate);

    // Filter length: 32 when the ratio source ÷ target is within 0.0001 of a whole number, else 31.
    int filterLength() const { return m_length; }
    // Phases of the table: target ÷ gcd(source, target), at most 320.
    int phases() const { return m_phases; }
    // Coefficients of row r (0 ≤ r ≤ 2 × phases), filterLength() + 1 of them, summing to 1.
    std::span<const double> row(int r) const;

    // Resamples all of input, appending the output samples to out. An output sample waits until
    // the input reaches filterLength() − filterLength() ÷ 2 samples past its instant; feeding
    // tailLength() zeros after the last sample brings out every instant before the input's end.
    void process(std::span<const float> input, std::vector<float>& out);
    std::size_t tailLength() const { return static_cast<std::size_t>(m_length) + 2; }
    // Forgets the history and the time offset: the next input starts a new stream.
    void reset();

private:
    // One pass: outputs until more input is needed; returns the input samples consumed.
    std::size_t pass(std::span<const float> input, std::vector<float>& out);
    void buildTable();

    double m_ratio;
    int m_phases;
    int m_length;
    double m_cutoff;
    std::vector<double> m_table;
    std::vector<float> m_history;
    std::vector<float> m_work; // history followed by the block of the current pass
    double m_timeOffset = 0;
};

} // namespace vlsmp3
