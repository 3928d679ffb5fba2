// tmbr info and tmbr decode on the real binary, with the staged vlsmp3x1 server registered into a
// temporary class registry by vlsregsvr, and files made by sox and lame.

#include "runtmbr.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using tmbr::testing::runTmbr;

namespace {

int shell(const std::string& command)
{
    return std::system(command.c_str());
}

class DecoderCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tmbr-decode-XXXXXX";
        ASSERT_TRUE(::mkdtemp(pattern));
        m_folder = std::string(pattern) + "/";
        m_environment = { { "VLSCOM_REGISTRY", m_folder + "classes.reg" } };
        ASSERT_EQ(shell("VLSCOM_REGISTRY=" + m_folder + "classes.reg " + VLS_REGSVR + " " + VLS_MP3_SERVER
                      + " >/dev/null"),
            0);
        ASSERT_EQ(
            shell("cd " + m_folder
                + " && sox -n -r 44100 -c 2 -b 16 t.wav synth 3 sine 440 vol 0.5 && lame --quiet -b 128 -t "
                  "--id3v1-only --tt Song --ta Band --tl Record --ty 2020 --tg Rock --tc Note --tn 9 t.wav "
                  "t.mp3"),
            0);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    tmbr::testing::TmbrRun tmbr(const std::vector<std::string>& args)
    {
        return runTmbr(args, m_environment, m_folder, m_folder);
    }

    std::string m_folder;
    std::vector<std::pair<std::string, std::string>> m_environment;
};

} // namespace

// tmbr info prints the control's properties and tags, one per line.
TEST_F(DecoderCommands, InfoPrintsPropertiesAndTags)
{
    const auto run = tmbr({ "info", "t.mp3" });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
        "Channels: 2\nSampleRate: 44100\nBitrate: 128000\nDuration: 3\nTitle: Song\nArtist: Band\n"
        "Album: Record\nYear: 2020\nGenre: Rock\nTrackNo: 9\nComment: Note\n");
}

// tmbr decode writes a WAV in the requested format; failures print the control's message, exit 1
// and leave no output.
TEST_F(DecoderCommands, DecodeWritesWaveInOutputFormat)
{
    auto run = tmbr(
        { "decode", "t.mp3", "out.wav", "--channels", "1", "--rate", "22050", "--bits", "8", "--seek", "1" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string wave = tmbr::testing::readBytes(m_folder + "out.wav");
    ASSERT_GE(wave.size(), 44u);
    const auto field = [&](std::size_t at, int bytes) {
        long value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = value * 256 + static_cast<unsigned char>(wave[at + static_cast<std::size_t>(i)]);
        return value;
    };
    EXPECT_EQ(wave.substr(0, 4), "RIFF");
    EXPECT_EQ(wave.substr(36, 4), "data");
    const long channels = field(22, 2);
    const long rate = field(24, 4);
    const long bits = field(34, 2);
    const long samples = field(40, 4);
    EXPECT_EQ(static_cast<std::size_t>(samples + 44 + (samples & 1)), wave.size());
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(rate, 22050);
    EXPECT_EQ(bits, 8);
    EXPECT_NEAR(double(samples), 2 * 22050, 22050 * 0.05);

    run = tmbr({ "decode", "missing.mp3", "none.wav" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "0x80070002 (No such file or directory)\n");
    EXPECT_FALSE(std::filesystem::exists(m_folder + "none.wav"));
    shell("head -c 100 /dev/zero > " + m_folder + "zero.mp3");
    run = tmbr({ "info", "zero.mp3" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Unexpected end of file.\n");
    run = tmbr({ "decode", "t.mp3", "x.wav", "--bits", "12" });
    EXPECT_EQ(run.exitCode, 2);
}
