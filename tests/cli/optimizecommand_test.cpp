// tmbr optimize on the real binary with the staged encoder, decoder and converter controls.

#include "audiocommandfixture.h"

namespace {

constexpr char kFatal[] = "FATAL ERROR ENCOUNTERED. PROBABLY BAD SOURCE FILE. APPLICATION ABORTED!\n";

class OptimizeCommand : public tmbr::testing::AudioCommandFixture {
protected:
    void SetUp() override
    {
        AudioCommandFixture::SetUp();
        makeWave("in.wav", "-r 44100 -c 2 -b 16", 3.0);
        ASSERT_EQ(shell("cd " + m_folder + " && lame --quiet -b 128 --tt Song --ta Band in.wav song.mp3"), 0);
    }
};

} // namespace

// An MP3 input is converted with the defaults (56 kbit/s, 22050 Hz, mono), its tags kept.
TEST_F(OptimizeCommand, Mp3InputIsConverted)
{
    auto run = tmbr({ "optimize", "song.mp3", "out.mp3" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "MP3 FILE CONVERTED AS - out.mp3\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(probe("out.mp3"), "22050,1,56000\n");
    EXPECT_EQ(mutagen("out.mp3", "m.tags[\"TIT2\"].text[0], m.tags[\"TPE1\"].text[0]"), "Song Band\n");
    run = tmbr({ "optimize", "song.mp3", "hi.mp3", "--bitrate", "96", "--rate", "44100", "--stereo" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "MP3 FILE CONVERTED AS - hi.mp3\n");
    EXPECT_EQ(probe("hi.mp3"), "44100,2,96000\n");
}

// Any other input is encoded as a WAV file, SONG.MP3 included; channels stay as they are.
TEST_F(OptimizeCommand, OtherInputIsEncodedAsWave)
{
    auto run = tmbr({ "optimize", "in.wav", "out.mp3", "--rate", "11025", "--bitrate", "32" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "MP3 FILE GENERATED AS - out.mp3\n");
    EXPECT_EQ(probe("out.mp3"), "11025,2,32000\n");
    shell("cp " + m_folder + "in.wav " + m_folder + "SONG.MP3");
    run = tmbr({ "optimize", "SONG.MP3", "upper.mp3" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "MP3 FILE GENERATED AS - upper.mp3\n");
    EXPECT_EQ(probe("upper.mp3"), "22050,2,56000\n");
    // An MP3 file under an upper-case name is not a WAV file: the encoder refuses it.
    // The earlier file under the output's name is left as it was.
    shell("cp " + m_folder + "song.mp3 " + m_folder + "REAL.MP3");
    tmbr::testing::writeBytes(m_folder + "real.mp3", "an earlier file");
    run = tmbr({ "optimize", "REAL.MP3", "real.mp3" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, std::string("ERROR: UNABLE TO OPEN WAVE FILE.\n") + kFatal);
    EXPECT_EQ(tmbr::testing::readBytes(m_folder + "real.mp3"), "an earlier file");
    EXPECT_EQ(temporaryOf("real.mp3"), "");
}

// Failures print the upper-cased error and the fatal line, exit 1 and leave no output.
TEST_F(OptimizeCommand, FailuresAndUsage)
{
    auto run = tmbr({ "optimize", "missing.mp3", "out.mp3" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, std::string("0X80070002 (NO SUCH FILE OR DIRECTORY)\n") + kFatal);
    EXPECT_EQ(run.out, "");
    run = tmbr({ "optimize", "song.mp3", "out.mp3", "--bitrate", "100" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, std::string("WRONG BITRATE SPECIFIED FOR THIS INPUT FORMAT.\n") + kFatal);
    shell("head -c 3000 /dev/zero > " + m_folder + "zero.mp3");
    run = tmbr({ "optimize", "zero.mp3", "out.mp3" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.substr(run.err.find('\n') + 1), kFatal);
    EXPECT_FALSE(exists("out.mp3"));
    // A file that decodes to no audio at all (only its Info frame) is a failure, not an empty file.
    shell("head -c 600 " + m_folder + "song.mp3 > " + m_folder + "info.mp3");
    tmbr::testing::writeBytes(m_folder + "out.mp3", "an earlier file");
    run = tmbr({ "optimize", "info.mp3", "out.mp3" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, std::string("NO AUDIO COULD BE DECODED FROM THIS FILE.\n") + kFatal);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(tmbr::testing::readBytes(m_folder + "out.mp3"), "an earlier file");
    EXPECT_EQ(temporaryOf("out.mp3"), "");
    std::filesystem::remove(m_folder + "out.mp3");

    EXPECT_EQ(tmbr({ "optimize", "song.mp3", "out.mp3", "--rate", "32000" }).exitCode, 2);
    EXPECT_EQ(tmbr({ "optimize", "song.mp3", "out.mp3", "--bitrate", "56k" }).exitCode, 2);
    EXPECT_EQ(tmbr({ "optimize", "song.mp3" }).exitCode, 2);
    const std::string before = output("md5sum song.mp3");
    std::filesystem::create_symlink("song.mp3", m_folder + "soft.mp3");
    for (const char* name : { "song.mp3", "./song", "soft" }) {
        run = tmbr({ "optimize", "song.mp3", name });
        EXPECT_EQ(run.exitCode, 2) << name;
        EXPECT_EQ(run.err, "tmbr optimize: the output file is the input file (see 'tmbr optimize --help')\n");
    }
    EXPECT_EQ(output("md5sum song.mp3"), before);
    EXPECT_FALSE(exists("out.mp3"));
}

// An encoder failure in the middle of a conversion ends the run with the fatal message; what the
// output name points to is left alone.
TEST_F(OptimizeCommand, EncoderFailureDuringTheConversion)
{
    std::filesystem::create_symlink("/dev/full", m_folder + "full.mp3");
    for (const char* input : { "song.mp3", "in.wav" }) {
        const auto run = tmbr({ "optimize", input, "full.mp3" });
        EXPECT_EQ(run.exitCode, 1) << input;
        EXPECT_EQ(run.err,
            std::string("INTERNAL ERROR #20. CANNOT WRITE. SYSTEM ERROR MESSAGE: NO SPACE LEFT ON DEVICE\n")
                + kFatal)
            << input;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(std::filesystem::is_symlink(m_folder + "full.mp3"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

// --help documents every option.
TEST_F(OptimizeCommand, HelpNamesEveryOption)
{
    const auto run = tmbr({ "optimize", "--help" });
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : { "--bitrate", "--rate", "--stereo" })
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

// SIGINT stops either route (exit 130); neither it nor SIGKILL leaves a partial file under the
// output's name.
TEST_F(OptimizeCommand, SignalsLeaveTheOutputAsItWas)
{
    makeWave("long.wav", "-r 22050 -c 1 -b 16", 300.0);
    ASSERT_EQ(shell("cd " + m_folder + " && lame --quiet -b 32 long.wav long.mp3"), 0);
    for (const char* input : { "long.wav", "long.mp3" }) {
        SCOPED_TRACE(input);
        expectSignalsLeaveTheOutput({ "optimize", input, "out.mp3" }, "out.mp3");
    }
}
