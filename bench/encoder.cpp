// Encoding a 60-second 44100 Hz stereo tone at CBR 128000 through the encoder control, and the
// same samples as a WAV file through `lame -b 128`, in one run; the ratio is control / lame.

#include "vlsaudioencoder.h"
#include "vlscom/activation.h"
#include "vlscom/bstr.h"
#include "vlsmp3x1.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 60;

std::vector<std::uint8_t> tonePcm()
{
    std::vector<std::uint8_t> pcm;
    const std::size_t frames = static_cast<std::size_t>(kRate) * kSeconds;
    pcm.reserve(frames * 4);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const auto left = static_cast<std::int16_t>(std::lround(12000.0 * std::sin(2.0 * M_PI * 440.0 * t)));
        const auto right = static_cast<std::int16_t>(std::lround(12000.0 * std::sin(2.0 * M_PI * 660.0 * t)));
        for (const std::int16_t sample : { left, right }) {
            pcm.push_back(static_cast<std::uint8_t>(sample & 0xFF));
            pcm.push_back(static_cast<std::uint8_t>((sample >> 8) & 0xFF));
        }
    }
    return pcm;
}

void writeLe(std::ofstream& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void writeWav(const std::string& path, const std::vector<std::uint8_t>& pcm)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto size = static_cast<std::uint32_t>(pcm.size());
    out.write("RIFF", 4);
    writeLe(out, 36 + size, 4);
    out.write("WAVEfmt ", 8);
    writeLe(out, 16, 4);
    writeLe(out, 1, 2);
    writeLe(out, 2, 2);
    writeLe(out, kRate, 4);
    writeLe(out, kRate * 4, 4);
    writeLe(out, 4, 2);
    writeLe(out, 16, 2);
    out.write("data", 4);
    writeLe(out, size, 4);
    out.write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(pcm.size()));
}

// Registers the server in a registry of the scratch folder, so that creation goes the client's way.
bool registerServer(const std::string& folder)
{
    ::setenv("VLSCOM_REGISTRY", (folder + "/classes.reg").c_str(), 1);
    void* server = ::dlopen(VLS_MP3_SERVER, RTLD_NOW | RTLD_LOCAL);
    if (!server)
        return false;
    auto registerIt = reinterpret_cast<HRESULT (*)()>(::dlsym(server, "DllRegisterServer"));
    return registerIt && registerIt() == S_OK;
}

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_EncodeTone60sCbr128VersusLame(benchmark::State& state)
{
    const std::string folder = (std::filesystem::temp_directory_path() / "tmbr-bench-encoder").string();
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> pcm = tonePcm();
    writeWav(folder + "/tone.wav", pcm);
    if (!registerServer(folder)) {
        state.SkipWithError("cannot register vlsmp3x1");
        return;
    }
    double control = 0.0;
    double lame = 0.0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        vlscom::ComPtr<IVlsAudioEncoder> encoder;
        if (vlscom::createInstance(VlsMP3Encoderx1_ProgID, encoder) != S_OK) {
            state.SkipWithError("cannot create the encoder control");
            break;
        }
        encoder->put_OverwritePrompt(VARIANT_FALSE);
        encoder->SetInputFormat(2, kRate, 16);
        encoder->SetOutputFormatCBR(128000);
        const vlscom::Bstr name(std::string_view(folder + "/control.mp3"));
        encoder->Open(name.get());
        constexpr std::size_t piece = 65536;
        for (std::size_t at = 0; at < pcm.size(); at += piece)
            encoder->Write(pcm.data() + at, static_cast<std::int32_t>(std::min(piece, pcm.size() - at)));
        encoder->Close();
        encoder.reset();
        control = seconds(start);

        start = std::chrono::steady_clock::now();
        const std::string command
            = "lame --silent -b 128 '" + folder + "/tone.wav' '" + folder + "/lame.mp3'";
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("lame failed");
            break;
        }
        lame = seconds(start);
    }
    state.counters["control_s"] = control;
    state.counters["lame_s"] = lame;
    state.counters["ratio"] = lame > 0.0 ? control / lame : 0.0;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_EncodeTone60sCbr128VersusLame)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
