// The three speed comparisons against the reference tools, in one run, printed as one table:
//   decode   a 5-minute 44100 Hz stereo 128 kbit/s MP3 to WAV: `tmbr decode` / `mpg123 -w`
//   encode   a 60-second 44100 Hz stereo WAV to CBR 128 kbit/s: `tmbr encode` / `lame -b 128`
//            and / `lame --noreplaygain --preset cbr 128`, the engine alone with the settings the
//            encoder uses
//   optimize the 5-minute MP3 to 22050 Hz mono 56 kbit/s: `tmbr optimize` / `lame --mp3input`,
//            / ffmpeg, and / the engine alone encoding the same audio decoded and resampled
//            beforehand (the floor of any pipeline through that engine)
// Each row is five rounds; a round runs this system and then each reference tool once, so that a
// passing load meets all of them alike. A ratio is the median of the five rounds' ratios (below 1
// means faster). The machine's load average is printed first: the figures mean most on an idle one.
//
// Usage: bench_speed [ROUNDS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Wall time of a shell command in seconds; negative when it fails.
double timed(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0)
        return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Row {
    std::string work;
    std::string ours;
    std::vector<std::pair<std::string, std::string>> references; // name, command
};

} // namespace

int main(int argc, char** argv)
{
    const std::size_t rounds = argc > 1 ? static_cast<std::size_t>(std::max(1, std::atoi(argv[1]))) : 5;
    const std::string folder = (std::filesystem::temp_directory_path() / "tmbr-bench-speed").string() + "/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string tmbr = "VLSCOM_REGISTRY=" + folder + "classes.reg " + TMBR_EXE;
    const std::string regsvr = "VLSCOM_REGISTRY=" + folder + "classes.reg " + VLS_REGSVR + " ";
    const std::string setup = regsvr + VLS_MP3_SERVER + " >/dev/null && " + regsvr + VLS_CONV_SERVER
        + " >/dev/null"
        // sox without dither, so that every run meets the same bytes.
        + " && sox -D -n -r 44100 -c 2 -b 16 " + folder + "long.wav synth 300 sine 440 sine 660 vol 0.5"
        + " && lame --quiet -b 128 " + folder + "long.wav " + folder + "in.mp3"
        + " && sox -D -n -r 44100 -c 2 -b 16 " + folder + "in.wav synth 60 sine 440 sine 660 vol 0.5"
        + " && sox -D " + folder + "long.wav -r 22050 -c 1 " + folder + "mono22.wav";
    if (std::system(setup.c_str()) != 0) {
        std::fprintf(stderr, "bench_speed: cannot register the servers or make the input files\n");
        return 1;
    }

    const std::vector<Row> rows = {
        { "decode 5 min MP3 to WAV", tmbr + " decode " + folder + "in.mp3 " + folder + "ours.wav",
            { { "mpg123", "mpg123 -q -w " + folder + "ref.wav " + folder + "in.mp3" } } },
        { "encode 60 s WAV to CBR 128",
            tmbr + " encode " + folder + "in.wav " + folder + "ours.mp3 --cbr 128000",
            { { "lame", "lame --quiet -b 128 " + folder + "in.wav " + folder + "ref.mp3" },
                // The engine settings that the encoder control hands the engine for CBR (the same
                // MP3 frames), without the tool's loudness analysis: what the engine alone takes
                // for this encoding, the floor of any encoder on it.
                { "lame --noreplaygain --preset cbr 128",
                    "lame --quiet --noreplaygain --preset cbr 128 " + folder + "in.wav " + folder
                        + "preset.mp3" } } },
        { "optimize 5 min MP3 to 22050 Hz mono 56",
            tmbr + " optimize " + folder + "in.mp3 " + folder + "opt.mp3 --bitrate 56 --rate 22050",
            { { "lame",
                  "lame --quiet --mp3input -m m --resample 22.05 -b 56 " + folder + "in.mp3 " + folder
                      + "lame.mp3" },
                { "ffmpeg",
                    "ffmpeg -v error -y -i " + folder + "in.mp3 -ac 1 -ar 22050 -b:a 56k " + folder
                        + "ffmpeg.mp3" },
                // The engine alone on audio decoded and resampled beforehand, with the encoder's
                // settings: the least any pipeline through it can take.
                { "lame --preset cbr 56 of a 22050 Hz mono WAV",
                    "lame --quiet --noreplaygain --preset cbr 56 " + folder + "mono22.wav " + folder
                        + "alone.mp3" } } },
    };

    std::string load;
    std::getline(std::ifstream("/proc/loadavg"), load);
    std::printf("load average at start: %s; %zu rounds per row\n\n", load.c_str(), rounds);
    std::printf("| work | this system | reference | ratio (median of rounds) |\n|---|---|---|---|\n");
    int failures = 0;
    for (const Row& row : rows) {
        std::vector<double> ours;
        std::vector<std::vector<double>> references(row.references.size());
        for (std::size_t round = 0; round < rounds; ++round) {
            ours.push_back(timed(row.ours + " >/dev/null 2>&1"));
            for (std::size_t i = 0; i < row.references.size(); ++i)
                references[i].push_back(timed(row.references[i].second));
        }
        for (std::size_t i = 0; i < row.references.size(); ++i) {
            std::vector<double> ratios;
            bool failed = false;
            for (std::size_t round = 0; round < rounds; ++round) {
                failed = failed || ours[round] < 0 || references[i][round] < 0;
                ratios.push_back(ours[round] / references[i][round]);
            }
            if (failed) {
                ++failures;
                std::printf("| %s | failed | %s | - |\n", row.work.c_str(), row.references[i].first.c_str());
                continue;
            }
            std::printf("| %s | %.3f s | %s %.3f s | %.2f |\n", row.work.c_str(), median(ours),
                row.references[i].first.c_str(), median(references[i]), median(ratios));
        }
        std::fflush(stdout);
    }
    std::filesystem::remove_all(folder);
    return failures == 0 ? 0 : 1;
}
