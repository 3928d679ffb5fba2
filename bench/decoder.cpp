// The PCM format converter resampling 44100 to 22050 and 22050 to 44100 Hz, in source samples per
// second, with the converter's fixed memory. (Decoding against mpg123 is a row of bench_speed.)

#include "pcmformatconverter.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

void BM_Resample(benchmark::State& state)
{
    const int from = static_cast<int>(state.range(0));
    const int to = static_cast<int>(state.range(1));
    std::vector<std::uint8_t> input(static_cast<std::size_t>(from) * 4);
    for (std::size_t i = 0; i < input.size() / 2; ++i) {
        const auto sample = static_cast<std::int16_t>(12000 * std::sin(i * 0.05));
        input[2 * i] = static_cast<std::uint8_t>(sample & 0xFF);
        input[2 * i + 1] = static_cast<std::uint8_t>((sample >> 8) & 0xFF);
    }
    std::vector<std::uint8_t> out(1 << 20);
    vlsmp3::PcmFormatConverter converter({ 2, from, 16 }, { 2, to, 16 });
    for (auto _ : state) {
        for (std::size_t at = 0; at < input.size(); at += 16384) {
            converter.push(std::span(input.data() + at, std::min<std::size_t>(16384, input.size() - at)));
            converter.take(out);
        }
    }
    // One second of stereo audio per iteration, however many iterations: the rings never grow.
    state.SetItemsProcessed(state.iterations() * from);
    state.counters["ring_bytes"] = 2.0 * vlsmp3::PcmFormatConverter::ringSize;
}
BENCHMARK(BM_Resample)
    ->Args({ 44100, 22050 })
    ->Args({ 22050, 44100 })
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
