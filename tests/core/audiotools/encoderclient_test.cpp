// EncoderClient against the real MP3 encoder control: calls by DISPID, the control's messages as
// ComponentError, tags, and the wave-file events on the creating thread.

#include "audiotools/converterclient.h"
#include "audiotools/encoderclient.h"
#include "audiotools/outputfile.h"
#include "audiotoolstest.h"
#include "vlscom/messagebox.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

using namespace tmbr::audiotools;

namespace {

class EncoderClientTest : public audiotoolstest::RegisteredServers {
protected:
    // The message of the ComponentError that f throws; empty when it throws none.
    template <class F> static std::string messageOf(F f)
    {
        try {
            f();
        } catch (const ComponentError& error) {
            return error.what();
        }
        return {};
    }
};

} // namespace

// Refused calls throw the control's own message.
TEST_F(EncoderClientTest, RefusalsCarryTheControlsMessage)
{
    EncoderClient encoder;
    EXPECT_EQ(messageOf([&] { encoder.SetInputFormat(3, 44000, 16); }), "Input must have 1 or 2 channels.");
    EXPECT_EQ(messageOf([&] {
        encoder.SetInputFormatWFX({ 2, 2, 44100, 0, 0, 4, 0 });
    }),
        "Only uncompressed PCM wave format is supported.");
    EXPECT_EQ(messageOf([&] { encoder.SetOutputFormatCBR(100000); }),
        "Wrong bitrate specified for this input format.");
    EXPECT_EQ(messageOf([&] { encoder.SetOutputFormatABR(79999); }),
        "Bitrate must be between 80000 and 320000 in ABR mode.");
    EXPECT_EQ(messageOf([&] { encoder.SetOutputFormatVBR(1.5F); }), "fQuality must be between 0 and 1.");
    const std::uint8_t byte = 0;
    EXPECT_EQ(messageOf([&] { encoder.Write(&byte, 1); }), "Error: cannot write: file is not open.");
    EXPECT_EQ(
        messageOf([&] { (void)encoder.Filename(); }), "Error: cannot access property: file is not open.");
    EXPECT_EQ(
        messageOf([&] { encoder.EncodeFromWave("x.wav"); }), "Error: cannot convert: file is not open.");
    EXPECT_EQ(messageOf([&] { encoder.Close(); }), "");

    // The overwrite question goes to the host's handler; without one the answer is No.
    EXPECT_TRUE(encoder.overwritePrompt());
    const std::string existing = m_folder.file("old.mp3");
    mp3test::writeBytes(existing, { 1, 2, 3 });
    EXPECT_EQ(messageOf([&] { encoder.Open(existing); }), "Cancelled by user.");
    encoder.setOverwritePrompt(Setting::Off);
    EXPECT_FALSE(encoder.overwritePrompt());
    encoder.Open(existing);
    EXPECT_EQ(encoder.Filename(), existing);
    encoder.Close();
    EXPECT_EQ(std::filesystem::file_size(existing), 0U);
}

// PCM written through Write comes out in the chosen mode and rate, with the tags set.
TEST_F(EncoderClientTest, WritesPcmWithFormatAndTags)
{
    EncoderClient encoder;
    encoder.setOverwritePrompt(Setting::Off);
    encoder.setAddExtension(Setting::On);
    encoder.Open(m_folder.file("tone"));
    EXPECT_EQ(encoder.Filename(), m_folder.file("tone.mp3"));
    encoder.SetInputFormat(1, 44100, 16);
    encoder.SetOutputFormatCBR(64000);
    encoder.ForceEncodedSamplerate(22050);
    encoder.setTag(TagField::Title, "Tëst");
    encoder.setTag(TagField::TrackNo, "7");
    encoder.setTag(TagField::Comment, "note");
    EXPECT_EQ(encoder.tag(TagField::Title), "Tëst");
    EXPECT_EQ(encoder.tag(TagField::Artist), "");
    const auto pcm = mp3test::tone(440.0, 44100, 1, 16, 44100);
    for (std::size_t at = 0; at < pcm.size(); at += 4096)
        encoder.Write(
            pcm.data() + at, static_cast<std::int32_t>(std::min<std::size_t>(4096, pcm.size() - at)));
    encoder.Close();
    EXPECT_EQ(probe(m_folder.file("tone.mp3")), "22050,1,64000");
    const auto tags
        = mp3test::runPython("import mutagen.id3,sys; t=mutagen.id3.ID3(sys.argv[1]); "
                             "print(t['TIT2'].text[0], t['TRCK'].text[0], t.getall('COMM')[0].text[0])",
            m_folder.file("tone.mp3"));
    EXPECT_EQ(tags.output, "Tëst 7 note\n");
}

// EncodeFromWave reports start, rising progress and finish, on the creating thread;
// a file it cannot read gives OnError alone.
TEST_F(EncoderClientTest, WaveEventsReachTheHandlers)
{
    const std::string wave = makeWave("in.wav", "-r 22050 -c 2 -b 16", 2.0);
    EncoderClient encoder;
    std::vector<std::string> events;
    std::vector<int> percents;
    bool wrongThread = false;
    const auto self = std::this_thread::get_id();
    encoder.setHandlers({
        .OnError = [&](const std::string& text) { events.push_back("error " + text); },
        .OnWaveEncodeStart = [&] { events.push_back("start"); },
        .OnWaveEncodeProgress =
            [&](int percent) {
                percents.push_back(percent);
                wrongThread = wrongThread || std::this_thread::get_id() != self;
            },
        .OnWaveEncodeFinish = [&] { events.push_back("finish"); },
    });
    encoder.setOverwritePrompt(Setting::Off);
    encoder.Open(m_folder.file("out.mp3"));
    encoder.SetOutputFormatCBR(64000);
    encoder.EncodeFromWave(wave);
    ASSERT_TRUE(pumpUntil([&] { return !events.empty() && events.back() == "finish"; }));
    encoder.Close();
    EXPECT_EQ(events, (std::vector<std::string> { "start", "finish" }));
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(std::adjacent_find(percents.begin(), percents.end()), percents.end());
    EXPECT_GE(percents.front(), 0);
    EXPECT_GE(percents.back(), 99); // up-sampled pieces count their source bytes rounded down
    EXPECT_LE(percents.back(), 100);
    EXPECT_FALSE(wrongThread);
    EXPECT_EQ(probe(m_folder.file("out.mp3")).substr(5), ",2,64000");

    events.clear();
    mp3test::writeBytes(m_folder.file("bad.wav"), std::vector<std::uint8_t>(100, 7));
    encoder.Open(m_folder.file("out2.mp3"));
    encoder.EncodeFromWave(m_folder.file("bad.wav"));
    ASSERT_TRUE(pumpUntil([&] { return !events.empty(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    vlscom::PumpMessages();
    EXPECT_EQ(events, (std::vector<std::string> { "error Error: unable to open wave file." }));

    // Without handlers (or after the client is gone) events are dropped.
    encoder.setHandlers({});
    encoder.EncodeFromWave(m_folder.file("bad.wav"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    vlscom::PumpMessages();
    EXPECT_EQ(events.size(), 1U);
    encoder.Close();
}

// The output name the control chooses, and the same-file test that guards an input.
TEST(EncoderOutputName, AddsMp3UnlessPresent)
{
    EXPECT_EQ(mp3OutputName("song"), "song.mp3");
    EXPECT_EQ(mp3OutputName("SONG.MP3"), "SONG.MP3");
    EXPECT_EQ(mp3OutputName("a.Mp3"), "a.Mp3");
    EXPECT_EQ(mp3OutputName("a.wav"), "a.wav.mp3");
    EXPECT_EQ(mp3OutputName("mp3"), "mp3.mp3");
    EXPECT_EQ(mp3OutputName(""), ".mp3");
    mp3test::TempFolder folder;
    mp3test::writeBytes(folder.file("a.mp3"), { 1 });
    EXPECT_TRUE(sameFile(folder.file("a.mp3"), folder.path() + "/./a.mp3"));
    std::filesystem::create_hard_link(folder.file("a.mp3"), folder.file("hard.mp3"));
    std::filesystem::create_symlink(folder.file("a.mp3"), folder.file("soft.mp3"));
    EXPECT_TRUE(sameFile(folder.file("a.mp3"), folder.file("hard.mp3")));
    EXPECT_TRUE(sameFile(folder.file("soft.mp3"), folder.file("hard.mp3")));
    EXPECT_FALSE(sameFile(folder.file("a.mp3"), folder.file("b.mp3")));
    EXPECT_FALSE(sameFile(folder.file("none.mp3"), folder.file("none.mp3")));
}

// The output the encoder writes is a temporary file beside the one the user named, which takes
// its place on commit and leaves an earlier file as it was otherwise. With the prompt on, the
// control asks exactly when the user's file exists, and a No refuses the Open.
TEST_F(EncoderClientTest, OutputTakesItsPlaceOnlyWhenCommitted)
{
    const std::string path = m_folder.file("song.mp3");
    mp3test::writeBytes(path, { 1, 2, 3 });
    std::vector<std::string> questions;
    int answer = vlscom::IDNO;
    vlscom::SetMessageBoxHandler([&](vlscom::HWND, const std::string& text, const std::string&, UINT) {
        questions.push_back(text);
        return answer;
    });
    struct RestoreHandler {
        ~RestoreHandler() { vlscom::SetMessageBoxHandler({}); }
    } restore;
    const auto entries
        = [&] { return std::distance(std::filesystem::directory_iterator(m_folder.path()), {}); };
    const auto before = entries();

    EncoderClient encoder;
    vlscom::ReplacementFile output;
    EXPECT_EQ(
        messageOf([&] { openEncoderOutput(encoder, m_folder.file("song"), output); }), "Cancelled by user.");
    EXPECT_EQ(questions, std::vector<std::string> { "File already exists. Do you wish to overwrite it?" });
    EXPECT_EQ(entries(), before);
    answer = vlscom::IDYES;
    openEncoderOutput(encoder, m_folder.file("song"), output);
    EXPECT_EQ(encoder.Filename(), output.path());
    EXPECT_EQ(output.target(), path);
    encoder.SetInputFormat(1, 44100, 16);
    const auto pcm = mp3test::tone(440.0, 44100, 1, 16, 4410);
    encoder.Write(pcm.data(), static_cast<std::int32_t>(pcm.size()));
    encoder.Close();
    EXPECT_EQ(mp3test::readBytes(path), (std::vector<std::uint8_t> { 1, 2, 3 }));
    commitOutput(output);
    EXPECT_GT(std::filesystem::file_size(path), 100U);
    EXPECT_EQ(entries(), before);

    questions.clear();
    openEncoderOutput(encoder, m_folder.file("new.mp3"), output);
    EXPECT_TRUE(questions.empty());
    EXPECT_TRUE(encoder.overwritePrompt());
    encoder.Close();
    output.discard();
    EXPECT_EQ(entries(), before);
}

// A client whose class is not registered names the server and the command that registers it; a
// test program has neither vlsregsvr nor the servers beside it, so both are named bare.
TEST(ControlCreation, UnregisteredClassNamesItsServer)
{
    TemporaryRegistry empty;
    const auto failure = [](auto create) {
        try {
            create();
        } catch (const ComponentError& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_EQ(failure([] { EncoderClient encoder; }),
        "0x800401F3 (invalid class string)\nThe MP3 encoder control (vlsmp3x1.so) is not registered. "
        "Register it with: vlsregsvr PATH/vlsmp3x1.so");
    EXPECT_EQ(failure([] { ConverterClient converter; }),
        "0x800401F3 (invalid class string)\nThe audio converter control (vlsconv.so) is not registered. "
        "Register it with: vlsregsvr PATH/vlsconv.so");
    // The windows show the hint apart from the description, which they upper-case.
    try {
        EncoderClient encoder;
        ADD_FAILURE() << "created without a registration";
    } catch (const ComponentError& error) {
        EXPECT_EQ(descriptionOf(error), "0x800401F3 (invalid class string)");
        EXPECT_EQ(hintBelow(error),
            "\n\nThe MP3 encoder control (vlsmp3x1.so) is not registered. Register it with: vlsregsvr "
            "PATH/vlsmp3x1.so");
    }
    EXPECT_EQ(hintBelow(ComponentError("Bad wave file.")), "");
    EXPECT_EQ(descriptionOf(std::runtime_error("Bad wave file.")), "Bad wave file.");
}
