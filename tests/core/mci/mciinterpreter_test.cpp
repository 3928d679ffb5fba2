#include "mci/mcierror.h"
#include "mci/mciinterpreter.h"
#include "pulsedaemon.h"
#include "tempfolder.h"
#include "wavecontent.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <thread>

using namespace tmbr::gui;
using tmbr::gui::test::PulseDaemon;
using tmbr::gui::test::readWave;
using tmbr::gui::test::TempFolder;
using tmbr::gui::test::toneFrequency;

namespace {

std::uint32_t send(IMci& mci, const std::string& command)
{
    return mci.mciSendString(command);
}

std::string status(IMci& mci, const std::string& item)
{
    std::string reply = "unset";
    EXPECT_EQ(mci.mciSendString("status recSound " + item, &reply), 0u) << item;
    return reply;
}

// Waits until the recording holds `frames` sample frames (the recording is counted, not the clock).
bool waitForFrames(IMci& mci, std::uint64_t frames)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::stoull(status(mci, "length")) >= frames)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// A server address where nothing listens.
SoundServer missingServer(const TempFolder& folder)
{
    return { "unix:" + folder.file("no-server/native"), {}, {} };
}

} // namespace

// Without a sound server the device opens and keeps its settings, but recording and
// playing fail with the sound-server error, and the device stays usable.
TEST(MciInterpreterWithoutServer, RecordAndPlayReportTheMissingServer)
{
    TempFolder folder;
    MciInterpreter mci(missingServer(folder));
    EXPECT_EQ(send(mci, "close all"), 0u);
    EXPECT_EQ(send(mci, "open new Type waveaudio Alias recSound"), 0u);
    EXPECT_EQ(
        send(mci,
            "set recSound alignment 2 bitspersample 16  samplespersec 22050 channels 1 bytespersec 44100"),
        0u);
    EXPECT_EQ(send(mci, "record recSound"), code(MciError::NoSoundServer));
    EXPECT_EQ(send(mci, "play recSound from 0"), code(MciError::NoSoundServer));
    EXPECT_EQ(status(mci, "mode"), "stopped");
    EXPECT_EQ(send(mci, "stop recSound"), 0u);
    EXPECT_EQ(mci.mciGetErrorString(code(MciError::NoSoundServer)),
        "The sound server is not running or cannot be reached. Start PulseAudio (or PipeWire with its "
        "PulseAudio service) and try again");
    // An empty recording still saves as a valid file of the set format.
    ASSERT_EQ(send(mci, "save recSound " + folder.file("my take.wav") + " wait"), 0u);
    const auto wave = readWave(folder.file("my take.wav"));
    ASSERT_TRUE(wave.valid);
    EXPECT_EQ(wave.samplesPerSec, 22050u);
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(send(mci, "close all"), 0u);
}

// Opening follows the alias rules: waveaudio only, one device per alias, aliases in any case.
TEST(MciInterpreterWithoutServer, OpensAndClosesByAlias)
{
    TempFolder folder;
    MciInterpreter mci(missingServer(folder));
    EXPECT_EQ(send(mci, "open new type cdaudio alias cd"), code(MciError::UnknownDeviceType));
    EXPECT_EQ(send(mci, "open new type waveaudio"), code(MciError::MissingParameter));
    EXPECT_EQ(send(mci, "open new type waveaudio alias"), code(MciError::MissingParameter));
    EXPECT_EQ(send(mci, "open new type waveaudio alias all"), code(MciError::BadValue));
    EXPECT_EQ(send(mci, "OPEN NEW TYPE WAVEAUDIO ALIAS RecSound wait"), 0u);
    EXPECT_EQ(send(mci, "open new type waveaudio alias recsound"), code(MciError::AliasInUse));
    EXPECT_EQ(send(mci, "stop RECSOUND"), 0u);
    EXPECT_EQ(send(mci, "stop other"), code(MciError::DeviceNotOpen));
    EXPECT_EQ(send(mci, "close recSound"), 0u);
    EXPECT_EQ(send(mci, "close recSound"), code(MciError::DeviceNotOpen));
    EXPECT_EQ(send(mci, "record recSound"), code(MciError::DeviceNotOpen));
    EXPECT_EQ(mci.mciGetErrorString(code(MciError::DeviceNotOpen)),
        "The device is not open. Open it before sending it commands");
}

// Malformed commands and values are refused with their own codes and change nothing.
TEST(MciInterpreterWithoutServer, RefusesMalformedCommands)
{
    TempFolder folder;
    MciInterpreter mci(missingServer(folder));
    ASSERT_EQ(send(mci, "open new type waveaudio alias recSound"), 0u);
    EXPECT_EQ(send(mci, ""), code(MciError::UnknownCommand));
    EXPECT_EQ(send(mci, "eject recSound"), code(MciError::UnknownCommand));
    EXPECT_EQ(send(mci, "record"), code(MciError::MissingParameter));
    EXPECT_EQ(send(mci, "record recSound loudly"), code(MciError::UnknownKeyword));
    EXPECT_EQ(send(mci, "set recSound volume 3"), code(MciError::UnknownKeyword));
    EXPECT_EQ(send(mci, "set recSound channels"), code(MciError::MissingParameter));
    EXPECT_EQ(send(mci, "set recSound channels two"), code(MciError::BadValue));
    EXPECT_EQ(send(mci, "set recSound channels 3"), code(MciError::BadValue));
    EXPECT_EQ(send(mci, "set recSound bitspersample 8"), code(MciError::BadValue));
    EXPECT_EQ(send(mci, "set recSound samplespersec 99999999999999999999"), code(MciError::BadValue));
    EXPECT_EQ(send(mci, "set recSound alignment 2 channels 2"), code(MciError::InconsistentFormat));
    EXPECT_EQ(
        send(mci, "set recSound samplespersec 44100 bytespersec 44100"), code(MciError::InconsistentFormat));
    EXPECT_EQ(send(mci, "save recSound"), code(MciError::MissingParameter));
    EXPECT_EQ(send(mci, "save recSound wait"), code(MciError::MissingParameter));
    EXPECT_EQ(send(mci, "status recSound"), code(MciError::MissingParameter));
    EXPECT_EQ(send(mci, "status recSound colour"), code(MciError::UnknownKeyword));
    EXPECT_EQ(send(mci, "play recSound from x"), code(MciError::BadValue));
    EXPECT_EQ(
        send(mci, "save recSound " + folder.file("missing/take.wav") + " wait"), code(MciError::CannotSave));
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));
    // The refused set commands left the opening format.
    ASSERT_EQ(send(mci, "save recSound " + folder.file("t.wav")), 0u);
    const auto wave = readWave(folder.file("t.wav"));
    EXPECT_EQ(wave.samplesPerSec, 11025u);
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(mci.mciGetErrorString(999), "Unknown multimedia error 999");
}

// Every code has its own text.
TEST(MciInterpreterWithoutServer, EveryCodeHasItsOwnText)
{
    std::set<std::string> texts;
    const std::uint32_t codes[]
        = { 0, 257, 258, 259, 260, 261, 262, 263, 264, 265, 270, 271, 272, 273, 274, 280, 281 };
    for (std::uint32_t value : codes) {
        const std::string text = mciErrorText(value);
        EXPECT_EQ(text.find("Unknown multimedia error"), std::string::npos) << value;
        EXPECT_TRUE(texts.insert(text).second) << value;
    }
}

class MciInterpreterWithServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!m_daemon.started())
            FAIL() << "the private sound server did not start: " << m_daemon.server();
    }
    SoundServer server(const std::string& source = {}) const { return { m_daemon.server(), source, {} }; }

    PulseDaemon m_daemon;
    TempFolder m_folder;
};

// Recording from the default source (the 440 Hz sine) at the set rate and channels saves
// a WAV of that format holding the tone; the level shows sound while recording.
TEST_F(MciInterpreterWithServer, RecordsTheToneAtTheSetFormat)
{
    struct Case {
        int rate;
        int channels;
    };
    for (const Case c : { Case { 22050, 1 }, Case { 44100, 2 }, Case { 11025, 1 } }) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.channels) + " channels");
        MciInterpreter mci(server());
        ASSERT_EQ(send(mci, "open new Type waveaudio Alias recSound"), 0u);
        const int alignment = c.channels * 2;
        ASSERT_EQ(
            send(mci,
                "set recSound alignment " + std::to_string(alignment) + " bitspersample 16  samplespersec "
                    + std::to_string(c.rate) + " channels " + std::to_string(c.channels) + " bytespersec "
                    + std::to_string(c.rate * alignment)),
            0u);
        ASSERT_EQ(send(mci, "set recSound time format samples"), 0u);
        ASSERT_EQ(send(mci, "record recSound"), 0u);
        EXPECT_EQ(status(mci, "mode"), "recording");
        EXPECT_EQ(send(mci, "record recSound"), code(MciError::DeviceBusy));
        EXPECT_EQ(send(mci, "save recSound " + m_folder.file("busy.wav")), code(MciError::DeviceBusy));
        ASSERT_TRUE(waitForFrames(mci, static_cast<std::uint64_t>(c.rate) / 2));
        EXPECT_GT(std::stoi(status(mci, "level")), 1000);
        ASSERT_EQ(send(mci, "stop recSound"), 0u);
        EXPECT_EQ(status(mci, "level"), "0");
        const std::uint64_t frames = std::stoull(status(mci, "length"));

        const std::string path = m_folder.file("a take " + std::to_string(c.rate) + ".wav");
        ASSERT_EQ(send(mci, "save recSound " + path + " wait"), 0u);
        const auto wave = readWave(path);
        ASSERT_TRUE(wave.valid);
        EXPECT_EQ(wave.formatTag, 1);
        EXPECT_EQ(wave.samplesPerSec, static_cast<std::uint32_t>(c.rate));
        EXPECT_EQ(wave.channels, c.channels);
        EXPECT_EQ(wave.bitsPerSample, 16);
        EXPECT_EQ(wave.samples.size(), frames * static_cast<std::uint64_t>(c.channels));
        for (int channel = 0; channel < c.channels; ++channel)
            EXPECT_NEAR(toneFrequency(wave.samples, c.channels, wave.samplesPerSec, channel), 440.0, 5.0);
        EXPECT_EQ(send(mci, "close all"), 0u);
    }
}

// A recording from a real-time source grows while recording, stops growing at Stop, and a
// second Record appends to it; the saved file holds exactly the frames counted.
TEST_F(MciInterpreterWithServer, RecordingGrowsUntilStopAndAppends)
{
    MciInterpreter mci(server("virtmic"));
    ASSERT_EQ(send(mci, "open new type waveaudio alias recSound"), 0u);
    ASSERT_EQ(send(mci, "set recSound samplespersec 22050 channels 1 time format samples"), 0u);
    ASSERT_EQ(send(mci, "record recSound"), 0u);
    ASSERT_TRUE(waitForFrames(mci, 2205));
    ASSERT_EQ(send(mci, "stop recSound"), 0u);
    const std::uint64_t first = std::stoull(status(mci, "length"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(std::stoull(status(mci, "length")), first);

    ASSERT_EQ(send(mci, "record recSound"), 0u);
    ASSERT_TRUE(waitForFrames(mci, first + 2205));
    ASSERT_EQ(send(mci, "stop recSound"), 0u);
    const std::uint64_t total = std::stoull(status(mci, "length"));
    EXPECT_GE(total, first + 2205);
    EXPECT_EQ(status(mci, "mode"), "stopped");

    ASSERT_EQ(send(mci, "set recSound time format bytes"), 0u);
    EXPECT_EQ(std::stoull(status(mci, "length")), total * 2);
    ASSERT_EQ(send(mci, "save recSound " + m_folder.file("take.wav")), 0u);
    EXPECT_EQ(readWave(m_folder.file("take.wav")).samples.size(), total);

    // A new format discards the recording.
    ASSERT_EQ(send(mci, "set recSound channels 2"), 0u);
    EXPECT_EQ(status(mci, "length"), "0");
}

// Play sends the recording to the default sink, where its monitor hears the tone; the
// device is busy while playing, and playing ends by itself.
TEST_F(MciInterpreterWithServer, PlaysTheRecordingToTheSink)
{
    MciInterpreter recorder(server());
    ASSERT_EQ(send(recorder, "open new type waveaudio alias recSound"), 0u);
    ASSERT_EQ(send(recorder, "set recSound samplespersec 44100 channels 1 time format samples"), 0u);
    ASSERT_EQ(send(recorder, "record recSound"), 0u);
    ASSERT_TRUE(waitForFrames(recorder, 44100 / 2));
    ASSERT_EQ(send(recorder, "stop recSound"), 0u);

    MciInterpreter monitor(server("nullsink.monitor"));
    ASSERT_EQ(send(monitor, "open new type waveaudio alias recSound"), 0u);
    ASSERT_EQ(send(monitor, "set recSound samplespersec 44100 channels 1"), 0u);
    ASSERT_EQ(send(monitor, "record recSound"), 0u);

    ASSERT_EQ(send(recorder, "play recSound from 0"), 0u);
    EXPECT_EQ(send(recorder, "record recSound"), code(MciError::DeviceBusy));
    ASSERT_EQ(send(recorder, "stop recSound"), 0u);
    EXPECT_EQ(status(recorder, "mode"), "stopped");
    ASSERT_EQ(send(recorder, "play recSound from 0 wait"), 0u);
    EXPECT_EQ(status(recorder, "mode"), "stopped");

    ASSERT_EQ(send(monitor, "stop recSound"), 0u);
    ASSERT_EQ(send(monitor, "save recSound " + m_folder.file("heard.wav")), 0u);
    const auto heard = readWave(m_folder.file("heard.wav"));
    ASSERT_TRUE(heard.valid);
    EXPECT_NEAR(toneFrequency(heard.samples, 1, 44100), 440.0, 5.0);
}
