#include "codegen/jukeboxtemplates.h"
#include "codegen/pagecodeencoder.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

using namespace tmbr::codegen;

namespace {

constexpr int kTracks = 10000;

std::vector<Track> bigPlaylist()
{
    std::vector<Track> playlist;
    playlist.reserve(kTracks);
    for (int i = 0; i < kTracks; ++i) {
        const std::string n = std::to_string(i);
        playlist.push_back({ "Track " + n + " - Artist & Friends (Live #" + n + ").mp3",
            "Track " + n + " - Artist & Friends <Live> \"" + n + "\"" });
    }
    return playlist;
}

JukeboxValues jukeboxValues()
{
    return { "ab1234", "jbx_400300_chameleon.swf", "/jukebox/", "400", "300", "/home/user/site/", "/audio/" };
}

void settingsText(benchmark::State& state, UrlPrefixKind kind, const std::string& prefix)
{
    const std::vector<Track> playlist = bigPlaylist();
    const JukeboxOptions options { true, true, false, "50", false };
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = jukeboxSettings(options, true, "0xFFCC00", playlist, prefix, kind);
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["tracks/s"] = benchmark::Counter(
        static_cast<double>(kTracks) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_JukeboxSettings10kServerPath(benchmark::State& state)
{
    settingsText(state, UrlPrefixKind::ServerPath, "https://example.com/audio files/");
}
BENCHMARK(BM_JukeboxSettings10kServerPath)->Unit(benchmark::kMillisecond);

void BM_JukeboxSettings10kLocalFolder(benchmark::State& state)
{
    settingsText(state, UrlPrefixKind::LocalFolder, "/home/user/my site/");
}
BENCHMARK(BM_JukeboxSettings10kLocalFolder)->Unit(benchmark::kMillisecond);

void BM_JukeboxInstructions10k(benchmark::State& state)
{
    std::vector<std::string> files;
    for (const Track& track : bigPlaylist())
        files.push_back(track.file);
    const JukeboxValues values = jukeboxValues();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = jukeboxInstructions(CodeType::JavaScriptMethod1, values, files);
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_JukeboxInstructions10k)->Unit(benchmark::kMillisecond);

std::string oneMegabyteOfCode(bool withNonAscii)
{
    const std::string block = withNonAscii
        ? "<p class=\"x\">Grüße, café – ♪ 100% & more</p>\r\n"
        : "<param name=\"FlashVars\" value=\"f=/audio/song.mp3&amp;m=Auto\">\r\n";
    std::string code;
    while (code.size() < (1U << 20))
        code += block;
    code.resize(1U << 20);
    return code;
}

void encode(benchmark::State& state, bool withNonAscii)
{
    const std::string code = oneMegabyteOfCode(withNonAscii);
    int yields = 0;
    for (auto _ : state) {
        const std::string encoded = EncodePageCode(code, [&] { ++yields; });
        benchmark::DoNotOptimize(encoded.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(code.size()) * state.iterations());
    benchmark::DoNotOptimize(yields);
}

void BM_EncodePageCode1MBAscii(benchmark::State& state)
{
    encode(state, false);
}
BENCHMARK(BM_EncodePageCode1MBAscii)->Unit(benchmark::kMillisecond);

void BM_EncodePageCode1MBMixed(benchmark::State& state)
{
    encode(state, true);
}
BENCHMARK(BM_EncodePageCode1MBMixed)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
