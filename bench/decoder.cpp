// Decoding a 5-minute 128 kbit/s stereo MP3 to WAV with `tmbr decode` and with `mpg123 -w`, in one
// run (the ratio is tmbr / mpg123); and the PCM format converter resampling 44100 to 22050 and
// 22050 to 44100 Hz, in source samples per second, with the converter's fixed memory.

#include "pcmformatconverter.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

double timed(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0)
        return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Decode5MinutesVersusMpg123(benchmark::State& state)
{
    const std::string folder = std::filesystem::temp_directory_path() / "tmbr-bench-decoder/";
    std::filesystem::create_directories(folder);
    const std::string registry = "VLSCOM_REGISTRY=" + folder + "classes.reg ";
    if (std::system((registry + VLS_REGSVR + " " + VLS_MP3_SERVER + " >/dev/null").c_str()) != 0
        || std::system(("sox -n -r 44100 -c 2 -b 16 " + folder + "in.wav synth 300 sine 440 sine 660 vol 0.5"
               + " && lame --quiet -b 128 " + folder + "in.wav " + folder + "in.mp3")
                           .c_str())
            != 0) {
        state.SkipWithError("cannot make the MP3 file");
        return;
    }
    double ours = 0;
    double reference = 0;
    for (auto _ : state) {
        ours = timed(registry + TMBR_EXE + " decode " + folder + "in.mp3 " + folder + "ours.wav");
        reference = timed("mpg123 -q -w " + folder + "ref.wav " + folder + "in.mp3");
    }
    std::filesystem::remove_all(folder);
    if (ours < 0 || reference < 0) {
        state.SkipWithError("a decoder failed");
        return;
    }
    state.counters["tmbr_s"] = ours;
    state.counters["mpg123_s"] = reference;
    state.counters["ratio"] = ours / reference;
}
BENCHMARK(BM_Decode5MinutesVersusMpg123)->Iterations(1)->Unit(benchmark::kMillisecond);

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
