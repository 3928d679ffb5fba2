// Mp3Optimizer with the real encoder, decoder and converter controls: both routes, the listener's
// events, the output's format and tags, and every failure leaving an earlier output as it was.

#include "audiotools/mp3optimizer.h"
#include "audiotoolstest.h"

#include <algorithm>
#include <filesystem>

using namespace tmbr::audiotools;

namespace {

struct RecordingListener final : IOptimizerListener {
    void started() override { events.push_back("started"); }
    void progress(int percent) override { percents.push_back(percent); }
    void finished(OptimizerRoute route) override
    {
        events.push_back(route == OptimizerRoute::Mp3 ? "finished mp3" : "finished wave");
    }
    void failed(const std::string& errorText) override { events.push_back("failed " + errorText); }

    bool ended() const
    {
        return !events.empty()
            && (events.back().rfind("finished", 0) == 0 || events.back().rfind("failed", 0) == 0);
    }

    std::vector<std::string> events;
    std::vector<int> percents;
};

class Mp3OptimizerTest : public audiotoolstest::RegisteredServers {
protected:
    // A tagged 44100 Hz stereo 128 kbit/s MP3 file made by lame.
    std::string makeMp3(const std::string& name, double seconds)
    {
        const std::string wave = makeWave("source.wav", "-r 44100 -c 2 -b 16", seconds);
        const std::string path = m_folder.file(name);
        const auto result
            = mp3test::run("lame --quiet -b 128 --tt Song --ta Band --tl Record --ty 2020 --tn 3 "
                + mp3test::quoted(wave) + " " + mp3test::quoted(path) + " 2>&1");
        EXPECT_EQ(result.status, 0) << result.output;
        return path;
    }

    void runToEnd(Mp3Optimizer& optimizer, const OptimizerSettings& settings)
    {
        optimizer.convert(settings);
        EXPECT_TRUE(optimizer.running());
        ASSERT_TRUE(pumpUntil([&] { return m_listener.ended(); }));
        EXPECT_FALSE(optimizer.running());
    }

    // The output's earlier bytes, and whether a temporary file of a run is left beside it.
    std::string outputState(const std::string& output) const
    {
        const auto bytes = mp3test::readBytes(output);
        std::string state(bytes.begin(), bytes.end());
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.path())) {
            if (entry.path().filename().string().rfind(".out.mp3.", 0) == 0)
                state += " and a temporary file";
        }
        return state;
    }

    template <class F> static std::string messageOf(F f)
    {
        try {
            f();
        } catch (const ComponentError& error) {
            return error.what();
        }
        return {};
    }

    RecordingListener m_listener;
};

} // namespace

// The route follows the last three characters, case included.
TEST(OptimizerRoute, LastThreeCharactersExactly)
{
    EXPECT_EQ(routeFor("song.mp3"), OptimizerRoute::Mp3);
    EXPECT_EQ(routeFor("/music/x.y/songmp3"), OptimizerRoute::Mp3);
    EXPECT_EQ(routeFor("SONG.MP3"), OptimizerRoute::Wave);
    EXPECT_EQ(routeFor("song.Mp3"), OptimizerRoute::Wave);
    EXPECT_EQ(routeFor("song.wav"), OptimizerRoute::Wave);
    EXPECT_EQ(routeFor("p3"), OptimizerRoute::Wave);
    EXPECT_EQ(routeFor(""), OptimizerRoute::Wave);
}

// The window's texts: success per route, failure upper-cased (non-ASCII letters too) with the
// fatal line.
TEST(OptimizerMessages, ExactTexts)
{
    EXPECT_EQ(finishedMessage(OptimizerRoute::Mp3, "/tmp/o.mp3"), "MP3 FILE CONVERTED AS - /tmp/o.mp3");
    EXPECT_EQ(finishedMessage(OptimizerRoute::Wave, "o.mp3"), "MP3 FILE GENERATED AS - o.mp3");
    EXPECT_EQ(failedMessage("Cannot read samples, decoder failed: ünknown ß."),
        "CANNOT READ SAMPLES, DECODER FAILED: ÜNKNOWN ß.\n"
        "FATAL ERROR ENCOUNTERED. PROBABLY BAD SOURCE FILE. APPLICATION ABORTED!");
    EXPECT_EQ(upperCase("\xff"
                        "a"),
        "\xef\xbf\xbd"
        "A");
}

// An MP3 input goes decoder -> converter -> encoder: mono at the chosen rate and bit rate, tags
// kept, start then rising progress then finish; the decoder stays the converter's source.
TEST_F(Mp3OptimizerTest, Mp3RouteConvertsAndKeepsTags)
{
    const std::string input = makeMp3("song.mp3", 3.0);
    Mp3Optimizer optimizer(m_listener);
    OptimizerSettings settings { input, m_folder.file("out.mp3"), 22050, 56000, true };
    runToEnd(optimizer, settings);
    EXPECT_EQ(m_listener.events, (std::vector<std::string> { "started", "finished mp3" }));
    EXPECT_TRUE(std::is_sorted(m_listener.percents.begin(), m_listener.percents.end()));
    EXPECT_EQ(probe(settings.outputPath), "22050,1,56000");
    const auto tags = mp3test::runPython("import mutagen.id3,sys; t=mutagen.id3.ID3(sys.argv[1]); "
                                         "print(t['TIT2'].text[0], t['TPE1'].text[0], t['TALB'].text[0])",
        settings.outputPath);
    EXPECT_EQ(tags.output, "Song Band Record\n");
    EXPECT_TRUE(optimizer.converter().Source());
    EXPECT_EQ(optimizer.converter().Destination().get(), optimizer.encoder().control());

    // A second run on the same controls, stereo at 44100 Hz and 128 kbit/s.
    m_listener.events.clear();
    settings.outputPath = m_folder.file("stereo.mp3");
    settings.sampleRate = 44100;
    settings.bitrate = 128000;
    settings.mono = false;
    runToEnd(optimizer, settings);
    EXPECT_EQ(m_listener.events, (std::vector<std::string> { "started", "finished mp3" }));
    EXPECT_EQ(probe(settings.outputPath), "44100,2,128000");
}

// Any other input goes through the encoder's wave-file encoding, SONG.MP3 included; the mono
// setting does not apply there.
TEST_F(Mp3OptimizerTest, WaveRouteEncodesTheFile)
{
    makeWave("in.wav", "-r 44100 -c 2 -b 16", 2.0);
    std::filesystem::rename(m_folder.file("in.wav"), m_folder.file("SONG.MP3"));
    Mp3Optimizer optimizer(m_listener);
    runToEnd(optimizer, { m_folder.file("SONG.MP3"), m_folder.file("out.mp3"), 11025, 32000, true });
    EXPECT_EQ(m_listener.events, (std::vector<std::string> { "started", "finished wave" }));
    ASSERT_FALSE(m_listener.percents.empty());
    EXPECT_EQ(m_listener.percents.back(), 100);
    EXPECT_EQ(probe(m_folder.file("out.mp3")), "11025,2,32000");
}

// Failures while setting up throw the control's message; a refused WAV file and an MP3 file that
// gives no audio at all are reported to the listener. None of them touches an earlier output.
TEST_F(Mp3OptimizerTest, FailuresLeaveTheEarlierOutput)
{
    Mp3Optimizer optimizer(m_listener);
    const std::string output = m_folder.file("out.mp3");
    const std::vector<std::uint8_t> earlier(100, 7);
    mp3test::writeBytes(output, earlier);
    const std::string before(earlier.begin(), earlier.end());
    EXPECT_NE(messageOf([&] {
        optimizer.convert({ m_folder.file("missing.mp3"), output, 22050, 56000, true });
    }),
        "");
    EXPECT_EQ(outputState(output), before);
    EXPECT_FALSE(optimizer.running());

    const std::string input = makeMp3("song.mp3", 1.0);
    EXPECT_EQ(messageOf([&] {
        optimizer.convert({ input, output, 22050, 100000, true });
    }),
        "Wrong bitrate specified for this input format.");
    EXPECT_EQ(outputState(output), before);

    // The output may not be the input: opening it would destroy the input.
    const auto size = std::filesystem::file_size(input);
    EXPECT_EQ(messageOf([&] {
        optimizer.convert({ input, input, 22050, 56000, true });
    }),
        "The output file is the input file.");
    EXPECT_EQ(std::filesystem::file_size(input), size);

    mp3test::writeBytes(m_folder.file("bad.wav"), std::vector<std::uint8_t>(300, 9));
    runToEnd(optimizer, { m_folder.file("bad.wav"), output, 22050, 56000, true });
    EXPECT_EQ(m_listener.events, (std::vector<std::string> { "failed Error: unable to open wave file." }));
    EXPECT_EQ(outputState(output), before);
    EXPECT_TRUE(m_listener.percents.empty());
    EXPECT_TRUE(m_listener.events.size() == 1);

    // Only the Info frame: the encoder never gets a sample.
    const auto mp3 = mp3test::readBytes(input);
    mp3test::writeBytes(m_folder.file("info.mp3"), std::vector<std::uint8_t>(mp3.begin(), mp3.begin() + 600));
    m_listener.events.clear();
    runToEnd(optimizer, { m_folder.file("info.mp3"), output, 22050, 56000, true });
    EXPECT_EQ(m_listener.events.back(), "failed No audio could be decoded from this file.");
    EXPECT_EQ(outputState(output), before);

    // A run that works after the failures: the controls are left usable.
    m_listener.events.clear();
    runToEnd(optimizer, { input, output, 22050, 56000, true });
    EXPECT_EQ(m_listener.events, (std::vector<std::string> { "started", "finished mp3" }));
}

// A run is not restarted while it goes on, and destroying the optimizer mid-run stops the run
// and removes its temporary file, leaving the earlier output.
TEST_F(Mp3OptimizerTest, RunningConversionIsGuarded)
{
    const std::string input = makeMp3("long.mp3", 60.0);
    const std::string output = m_folder.file("out.mp3");
    mp3test::writeBytes(output, { 'o', 'l', 'd' });
    {
        Mp3Optimizer optimizer(m_listener);
        optimizer.convert({ input, output, 22050, 56000, true });
        EXPECT_EQ(messageOf([&] {
            optimizer.convert({ input, m_folder.file("other.mp3"), 22050, 56000, true });
        }),
            "Error: method mustn't be called when conversion is in progress.");
        EXPECT_FALSE(std::filesystem::exists(m_folder.file("other.mp3")));
        ASSERT_TRUE(pumpUntil([&] { return !m_listener.events.empty(); }));
    }
    EXPECT_EQ(m_listener.events, (std::vector<std::string> { "started" }));
    EXPECT_EQ(outputState(output), "old");
}
