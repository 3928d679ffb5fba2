// tmbr encode on the real binary with the staged encoder control.

#include "audiocommandfixture.h"

namespace {

class EncodeCommand : public tmbr::testing::AudioCommandFixture {
protected:
    void SetUp() override
    {
        AudioCommandFixture::SetUp();
        makeWave("in.wav", "-r 44100 -c 2 -b 16", 3.0);
    }
};

} // namespace

// Each output mode reaches the file: CBR at its exact rate, ABR and VBR as the LAME header says.
TEST_F(EncodeCommand, OutputModes)
{
    auto run = tmbr({ "encode", "in.wav", "cbr.mp3", "--cbr", "96000", "--resample", "44100" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(probe("cbr.mp3"), "44100,2,96000\n");
    run = tmbr({ "encode", "in.wav", "abr.mp3", "--abr=128000" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(mutagen("abr.mp3", "m.info.bitrate_mode"), "BitrateMode.ABR\n");
    run = tmbr({ "encode", "in.wav", "vbr.mp3", "--vbr", "0.5", "--resample", "32000" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(mutagen("vbr.mp3", "m.info.bitrate_mode, m.info.sample_rate"), "BitrateMode.VBR 32000\n");
    // Without a mode the control's default, VBR; ".mp3" is added to a bare name.
    run = tmbr({ "encode", "in.wav", "plain" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(mutagen("plain.mp3", "m.info.bitrate_mode"), "BitrateMode.VBR\n");
}

// The seven tag fields are written; --sync gives the same audio without events.
TEST_F(EncodeCommand, TagsAndSync)
{
    const auto run = tmbr({ "encode", "in.wav", "t.mp3", "--cbr", "64000", "--resample", "44100", "--sync",
        "--title", "Tïtle", "--artist", "Artist", "--album", "Album", "--year", "1999", "--genre", "Rock",
        "--track", "4", "--comment", "Note" });
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(mutagen("t.mp3",
                  "*[m.tags[k].text[0] for k in (\"TIT2\", \"TPE1\", \"TALB\", \"TDRC\", \"TCON\", \"TRCK\", "
                  "\"COMM::eng\")]"),
        "Tïtle Artist Album 1999 Rock 4 Note\n");
    EXPECT_EQ(probe("t.mp3"), "44100,2,64000\n");
    ASSERT_EQ(tmbr({ "encode", "in.wav", "a.mp3", "--cbr", "64000", "--resample", "44100" }).exitCode, 0);
    EXPECT_EQ(output("mpg123 -q -s a.mp3 | md5sum"), output("mpg123 -q -s t.mp3 | md5sum"));
}

// Failures print the control's message, exit 1 and leave no output; bad command lines exit 2.
TEST_F(EncodeCommand, FailuresAndUsage)
{
    shell("head -c 500 /dev/urandom > " + m_folder + "bad.wav");
    for (const char* sync : { "--sync", "--cbr=64000" }) {
        const auto run = tmbr({ "encode", "bad.wav", "out.mp3", sync });
        EXPECT_EQ(run.exitCode, 1) << sync;
        EXPECT_EQ(run.err, "Error: unable to open wave file.\n");
        EXPECT_FALSE(exists("out.mp3"));
    }
    makeWave("fast.wav", "-r 96000 -c 1 -b 16", 0.5);
    auto run = tmbr({ "encode", "fast.wav", "out.mp3" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
        "Wrong input sample rate. Possible values are: 8000, 11025, 12000, 16000, 22050, 24000, 32000, "
        "44100, "
        "48000.\n");
    EXPECT_FALSE(exists("out.mp3"));
    run = tmbr({ "encode", "in.wav", "out.mp3", "--cbr", "100000" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Wrong bitrate specified for this input format.\n");
    EXPECT_FALSE(exists("out.mp3"));
    run = tmbr({ "encode", "in.wav", "nofolder/out.mp3" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "nofolder/out.mp3: No such file or directory\n");
    // A failure, before or after the input is read, leaves an earlier output as it was.
    tmbr::testing::writeBytes(m_folder + "out.mp3", "an earlier file");
    for (const char* input : { "bad.wav", "fast.wav" }) {
        EXPECT_EQ(tmbr({ "encode", input, "out.mp3" }).exitCode, 1);
        EXPECT_EQ(tmbr::testing::readBytes(m_folder + "out.mp3"), "an earlier file");
        EXPECT_EQ(temporaryOf("out.mp3"), "");
    }
    std::filesystem::remove(m_folder + "out.mp3");

    EXPECT_EQ(tmbr({ "encode", "in.wav", "out.mp3", "--cbr", "64000", "--vbr", "0.5" }).exitCode, 2);
    EXPECT_EQ(tmbr({ "encode", "in.wav", "out.mp3", "--cbr", "fast" }).exitCode, 2);
    EXPECT_EQ(tmbr({ "encode", "in.wav", "out.mp3", "--vbr", "x" }).exitCode, 2);
    EXPECT_EQ(tmbr({ "encode", "in.wav" }).exitCode, 2);
    // An input that the output name would replace, however spelled or linked, is refused before
    // anything is opened.
    shell("cp " + m_folder + "in.wav " + m_folder + "w.mp3");
    std::filesystem::create_hard_link(m_folder + "w.mp3", m_folder + "hard.mp3");
    std::filesystem::create_symlink("w.mp3", m_folder + "soft.mp3");
    for (const char* name : { "w.mp3", "./w.mp3", "w", "hard.mp3", "soft" }) {
        run = tmbr({ "encode", "w.mp3", name });
        EXPECT_EQ(run.exitCode, 2) << name;
        EXPECT_EQ(run.err, "tmbr encode: the output file is the input file (see 'tmbr encode --help')\n");
    }
    EXPECT_EQ(output("cmp w.mp3 in.wav && echo same"), "same\n");
    EXPECT_FALSE(exists("out.mp3"));
}

// An engine failure during the run (a full device behind the output name) is reported and what
// the name points to is left alone.
TEST_F(EncodeCommand, WriteFailureDuringTheRun)
{
    std::filesystem::create_symlink("/dev/full", m_folder + "full.mp3");
    const auto run = tmbr({ "encode", "in.wav", "full.mp3" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Internal error #20. Cannot write. System error message: No space left on device\n");
    EXPECT_TRUE(std::filesystem::is_symlink(m_folder + "full.mp3"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

// --help documents every option.
TEST_F(EncodeCommand, HelpNamesEveryOption)
{
    const auto run = tmbr({ "encode", "--help" });
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : { "--cbr", "--abr", "--vbr", "--resample", "--title", "--artist", "--album",
             "--year", "--genre", "--track", "--comment", "--sync" })
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

// SIGINT stops the encoding (exit 130); neither it nor SIGKILL leaves a partial file under the
// output's name.
TEST_F(EncodeCommand, SignalsLeaveTheOutputAsItWas)
{
    makeWave("long.wav", "-r 22050 -c 1 -b 16", 300.0);
    expectSignalsLeaveTheOutput({ "encode", "long.wav", "out.mp3" }, "out.mp3");
}
