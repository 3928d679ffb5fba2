// tmbr info and tmbr decode on the real binary, with the staged servers registered into a
// temporary class registry by vlsregsvr, and files made by sox and lame.

#include "audiocommandfixture.h"

#include <sys/stat.h>

using tmbr::testing::readBytes;
using tmbr::testing::writeBytes;

namespace {

class DecoderCommands : public tmbr::testing::AudioCommandFixture {
protected:
    void SetUp() override
    {
        AudioCommandFixture::SetUp();
        ASSERT_EQ(
            shell("cd " + m_folder
                + " && sox -n -r 44100 -c 2 -b 16 t.wav synth 3 sine 440 vol 0.5 && lame --quiet -b 128 -t "
                  "--id3v1-only --tt Song --ta Band --tl Record --ty 2020 --tg Rock --tc Note --tn 9 t.wav "
                  "t.mp3"),
            0);
    }
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

// Control characters in the tags (C0, DEL, C1) show as \xNN: no escape sequence reaches the
// terminal and no line is forged; other text is printed as it is.
TEST_F(DecoderCommands, InfoEscapesControlCharactersOfTags)
{
    const std::string script
        = "from mutagen.id3 import ID3, TIT2\n"
          "tags = ID3()\n"
          "tags.add(TIT2(encoding=1, text=\"Song\\x1b[2J\\nArtist: Forged\\r\\t\\x7f\\x85\\x9f "
          "\\xe9\\xa0\"))\n"
          "tags.save(\"evil.mp3\", v2_version=3)";
    ASSERT_EQ(shell("cd " + m_folder + " && lame --quiet -b 128 t.wav evil.mp3 && /usr/bin/python3 -c '"
                  + script + "'"),
        0);
    const auto run = tmbr({ "info", "evil.mp3" });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::size_t title = run.out.find("Title: ");
    ASSERT_NE(title, std::string::npos) << run.out;
    EXPECT_EQ(run.out.substr(title),
        "Title: Song\\x1b[2J\\x0aArtist: Forged\\x0d\\x09\\x7f\\x85\\x9f \xc3\xa9\xc2\xa0\n"
        "Artist: \nAlbum: \nYear: \nGenre: \nTrackNo: \nComment: \n");
}

// Without the server's registration the failure says which server it is and how to register it,
// and that command works.
TEST_F(DecoderCommands, UnregisteredServerNamesTheRegistration)
{
    m_environment = { { "VLSCOM_REGISTRY", m_folder + "empty.reg" } };
    auto run = tmbr({ "info", "t.mp3" });
    EXPECT_EQ(run.exitCode, 1);
    const std::string command = std::string(VLS_REGSVR) + " " + VLS_MP3_SERVER;
    EXPECT_EQ(run.err,
        "0x800401F3 (invalid class string)\nThe MP3 decoder control (vlsmp3x1.so) is not registered. "
        "Register it with: "
            + command + "\n");
    ASSERT_EQ(shell("VLSCOM_REGISTRY=" + m_folder + "empty.reg " + command + " >/dev/null"), 0);
    run = tmbr({ "info", "t.mp3" });
    EXPECT_EQ(run.exitCode, 0) << run.err;
}

// tmbr decode writes a WAV in the requested format; failures print the control's message, exit 1
// and leave no output.
TEST_F(DecoderCommands, DecodeWritesWaveInOutputFormat)
{
    auto run = tmbr(
        { "decode", "t.mp3", "out.wav", "--channels", "1", "--rate", "22050", "--bits", "8", "--seek", "1" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string wave = readBytes(m_folder + "out.wav");
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

// An output that is the input, however spelled or linked, is refused before anything is written;
// a device is written as it is and never removed, also when the run fails.
TEST_F(DecoderCommands, SameFileAndSpecialOutputs)
{
    const std::string before = readBytes(m_folder + "t.mp3");
    std::filesystem::create_hard_link(m_folder + "t.mp3", m_folder + "hard.mp3");
    std::filesystem::create_symlink("t.mp3", m_folder + "soft.mp3");
    for (const char* output : { "t.mp3", "./t.mp3", "hard.mp3", "soft.mp3" }) {
        const auto run = tmbr({ "decode", "t.mp3", output });
        EXPECT_EQ(run.exitCode, 2) << output;
        EXPECT_EQ(run.err, "tmbr decode: the output file is the input file (see 'tmbr decode --help')\n");
    }
    EXPECT_EQ(readBytes(m_folder + "t.mp3"), before);

    auto run = tmbr({ "decode", "t.mp3", "/dev/null" });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::filesystem::create_symlink("/dev/full", m_folder + "full.wav");
    run = tmbr({ "decode", "t.mp3", "full.wav" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "full.wav: No space left on device\n");
    EXPECT_TRUE(std::filesystem::is_symlink(m_folder + "full.wav"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

    // A pipe cannot take the final sizes: its header says "up to the end", which sox follows.
    ASSERT_EQ(::mkfifo((m_folder + "pipe.wav").c_str(), 0600), 0);
    std::string piped;
    std::thread reader([&] { piped = readBytes(m_folder + "pipe.wav"); });
    run = tmbr({ "decode", "t.mp3", "pipe.wav" });
    reader.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(piped.substr(4, 4), std::string(4, '\xFF'));
    EXPECT_EQ(piped.substr(40, 4), std::string(4, '\xFF'));
    ASSERT_EQ(tmbr({ "decode", "t.mp3", "out.wav" }).exitCode, 0);
    EXPECT_TRUE(piped.substr(44) == readBytes(m_folder + "out.wav").substr(44));
}

// A file that decodes to no audio at all (only its Info frame) fails and writes nothing; any
// failure leaves an earlier output, with its permissions, as it was.
TEST_F(DecoderCommands, NoAudioIsAFailure)
{
    writeBytes(m_folder + "out.wav", "an earlier file");
    ::chmod((m_folder + "out.wav").c_str(), 0640);
    shell("cd " + m_folder + " && lame --quiet -b 128 t.wav full.mp3 && head -c 600 full.mp3 > info.mp3");
    auto run = tmbr({ "decode", "info.mp3", "out.wav" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "No audio could be decoded from this file.\n");
    EXPECT_EQ(readBytes(m_folder + "out.wav"), "an earlier file");
    EXPECT_EQ(temporaryOf("out.wav"), "");

    run = tmbr({ "decode", "t.mp3", "out.wav" });
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readBytes(m_folder + "out.wav").substr(0, 4), "RIFF");
    struct stat info { };
    ::stat((m_folder + "out.wav").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640U);
}

// SIGINT stops the decoding (exit 130, no temporary file left); neither it nor SIGKILL leaves a
// partial file under the output's name.
TEST_F(DecoderCommands, SignalsLeaveTheOutputAsItWas)
{
    ASSERT_EQ(
        shell("cd " + m_folder
            + " && sox -n -r 22050 -c 1 -b 16 long.wav synth 600 sine 440 vol 0.5 && lame --quiet -b 32 "
              "long.wav long.mp3"),
        0);
    expectSignalsLeaveTheOutput(
        { "decode", "long.mp3", "out.wav", "--rate", "48000", "--channels", "2" }, "out.wav");
}
