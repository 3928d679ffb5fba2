// Conversions with the fake decoder and encoder: the worker's events and calls step by step, its
// error texts with and without error information, cancelling, refusals while running, and GoSync.

#include "convtestsupport.h"

using namespace vlscom;
using namespace convtest;

namespace {

class Conversion : public ConverterTest {
protected:
    // Go, then pump until OnFinish; the events described.
    std::string run()
    {
        m_events.clear();
        EXPECT_EQ(m_converter->Go(), S_OK);
        EXPECT_EQ(takeError(), "none");
        EXPECT_TRUE(pumpUntilFinished()) << events();
        return events();
    }

    std::chrono::milliseconds sinceStart(DISPID id) const
    {
        for (const Event& event : m_events) {
            if (event.id == id)
                return std::chrono::duration_cast<std::chrono::milliseconds>(event.at - m_events.front().at);
        }
        return std::chrono::milliseconds(-1);
    }
};

const std::string allTags = "title=T;artist=A;album=B;year=1999;genre=Rock;track=7;comment=C";
const std::string tagLines = "Title=T\nArtist=A\nAlbum=B\nYear=1999\nGenre=Rock\nTrackNo=7\nComment=C\n";

} // namespace

// A conversion reads the format, hands it to the encoder, copies the tags, pumps every block and
// closes both sides; the events arrive on the owning thread in order.
TEST_F(Conversion, PumpsEveryBlockAndClosesBothSides)
{
    connectFakes("blocks=3;bytes=1000;" + allTags, "");
    EXPECT_EQ(run(), "start, progress 33, progress 66, progress 100, finish");
    for (const Event& event : m_events)
        EXPECT_EQ(event.thread, std::this_thread::get_id());
    EXPECT_EQ(logOf(m_decoder.get()), "Format\nTagData\nRead\nRead\nRead\nRead\nClose\n");
    EXPECT_EQ(logOf(m_encoder.get()),
        "SetInputFormatWFX 1 2 44100 16\n" + tagLines + "Write 1000\nWrite 1000\nWrite 1000\nClose\n");
}

// The sample buffer is 65536 bytes: a decoder asked for more gives at most that.
TEST_F(Conversion, ReadsInBlocksOf65536Bytes)
{
    connectFakes("blocks=2;bytes=100000", "tags=none");
    run();
    EXPECT_EQ(logOf(m_encoder.get()), "SetInputFormatWFX 1 2 44100 16\nWrite 65536\nWrite 65536\nClose\n");
    // A decoder that claims more than the buffer holds is not trusted beyond it.
    connectFakes("blocks=1;bytes=10;claim=70000", "tags=none");
    run();
    EXPECT_EQ(logOf(m_encoder.get()), "SetInputFormatWFX 1 2 44100 16\nWrite 65536\nClose\n");
    connectFakes("blocks=1;bytes=10;claim=70000", "tags=none");
    ASSERT_EQ(m_converter->GoSync(), S_OK);
    EXPECT_EQ(logOf(m_encoder.get()), "SetInputFormatWFX 1 2 44100 16\nWrite 65536\nClose\n");
}

// KeepTags false skips the copy; a side without a tag object skips it too; empty source fields
// are written as empty texts.
TEST_F(Conversion, CopiesTagsOnlyWhenAskedAndPossible)
{
    connectFakes("blocks=1;" + allTags, "");
    ASSERT_EQ(m_converter->put_KeepTags(VARIANT_FALSE), S_OK);
    run();
    EXPECT_EQ(logOf(m_decoder.get()), "Format\nRead\nRead\nClose\n");

    connectFakes("blocks=1;tags=none;" + allTags, "");
    ASSERT_EQ(m_converter->put_KeepTags(VARIANT_TRUE), S_OK);
    run();
    EXPECT_EQ(logOf(m_encoder.get()), "SetInputFormatWFX 1 2 44100 16\nWrite 4096\nClose\n");

    connectFakes("blocks=1;" + allTags, "tags=none");
    run();
    EXPECT_EQ(logOf(m_encoder.get()), "SetInputFormatWFX 1 2 44100 16\nWrite 4096\nClose\n");

    connectFakes("blocks=1", "");
    run();
    EXPECT_EQ(logOf(m_encoder.get()),
        "SetInputFormatWFX 1 2 44100 16\nTitle=\nArtist=\nAlbum=\nYear=\nGenre=\nTrackNo=\nComment=\nWrite "
        "4096\nClose\n");
}

// A first Read of 0 bytes: no Write, both sides closed, start and finish only.
TEST_F(Conversion, EmptySourceGivesStartAndFinishOnly)
{
    connectFakes("blocks=0", "");
    EXPECT_EQ(run(), "start, finish");
    EXPECT_EQ(logOf(m_decoder.get()), "Format\nTagData\nRead\nClose\n");
    EXPECT_EQ(logOf(m_encoder.get()),
        "SetInputFormatWFX 1 2 44100 "
        "16\nTitle=\nArtist=\nAlbum=\nYear=\nGenre=\nTrackNo=\nComment=\nClose\n");
}

// Progress is posted when the percentage changes, the first one always (also 0); a Duration of 0
// or a failed Duration posts none for the block instead of dividing by zero.
TEST_F(Conversion, PostsProgressOnlyWhenItChanges)
{
    connectFakes("blocks=4;duration=1000", "");
    EXPECT_EQ(run(), "start, progress 0, finish");
    connectFakes("blocks=6;duration=2", "");
    EXPECT_EQ(run(),
        "start, progress 50, progress 100, progress 150, progress 200, progress 250, progress 300, "
        "finish");
    connectFakes("blocks=3;duration=0", "");
    EXPECT_EQ(run(), "start, finish");
    EXPECT_EQ(logOf(m_encoder.get()).substr(logOf(m_encoder.get()).size() - 6), "Close\n");
    connectFakes("blocks=3;duration=fail", "");
    EXPECT_EQ(run(), "start, finish");
    EXPECT_EQ(logOf(m_decoder.get()), "Format\nTagData\nRead\nRead\nRead\nRead\nClose\n");
}

// Each failure of the worker is one OnError before OnFinish, with the call's error description
// when it left error information and the plain text when not; failed conversions close nothing.
TEST_F(Conversion, ReportsEachFailureWithAndWithoutErrorInformation)
{
    struct Case {
        std::string decoder;
        std::string encoder;
        std::string events;
    };
    const Case cases[] = {
        { "format=failinfo", "", "start, error Cannot proceed: decoder failed: Fake format failed., finish" },
        { "format=fail", "", "start, error Cannot proceed: decoder failed., finish" },
        { "", "format=failinfo",
            "start, error Cannot proceed: encoder failed: Fake format refused., finish" },
        { "", "format=fail", "start, error Cannot proceed: encoder failed., finish" },
        { "blocks=3", "write=2:failinfo",
            "start, progress 33, error Cannot write samples, encoder failed: Fake write failed., finish" },
        { "blocks=3", "write=1:fail", "start, error Cannot write samples, encoder failed., finish" },
        // The tag copy's failure does not lend its description to a later failure.
        { "blocks=3;tags=failinfo", "write=1:fail",
            "start, error Cannot write samples, encoder failed., finish" },
        { "blocks=3;read=2:failinfo", "",
            "start, progress 33, error Cannot read samples, decoder failed: Fake read failed., finish" },
        { "blocks=3;read=3:fail", "",
            "start, progress 33, progress 66, error Cannot read samples, decoder failed., finish" },
        // A failure of the very first Read is reported without its description.
        { "blocks=3;read=1:failinfo", "", "start, error Cannot read samples, decoder failed., finish" },
        { "blocks=1;close=failinfo", "",
            "start, progress 100, error Decoder error: Fake close failed., finish" },
        { "blocks=1;close=fail", "", "start, progress 100, error Decoder error., finish" },
        { "blocks=1", "close=failinfo",
            "start, progress 100, error Encoder error: Fake close failed., finish" },
        { "blocks=1", "close=fail", "start, progress 100, error Encoder error., finish" },
    };
    for (const Case& c : cases) {
        // The mute fakes: no error event can shorten the waits.
        connectFakes(c.decoder, c.encoder, CLSID_FakeMuteDecoder, CLSID_FakeMuteEncoder);
        EXPECT_EQ(run(), c.events) << c.decoder << " / " << c.encoder;
        const std::string decoderLog = logOf(m_decoder.get());
        const std::string encoderLog = logOf(m_encoder.get());
        // Only a failing Close follows a completed pump; after any other failure both stay open.
        const bool closing
            = c.decoder.find("close") != std::string::npos || c.encoder.find("close") != std::string::npos;
        EXPECT_EQ(decoderLog.ends_with("Close\n"), closing) << decoderLog;
        const bool encoderClosed = c.encoder.find("close") != std::string::npos;
        EXPECT_EQ(encoderLog.ends_with("Close\n"), encoderClosed) << encoderLog;
    }
}

// A failed Write or Read waits up to one second for the object's own OnError: a fake that publishes
// it under the converter's listener identity delivers its text at once; one that publishes under
// another identity cannot be heard, so the description comes about a second later.
TEST_F(Conversion, WaitsOneSecondForTheObjectsOwnErrorEvent)
{
    connectFakes("blocks=3", "write=2:failinfoevent", CLSID_FakeMuteDecoder, CLSID_FakeEncoder);
    EXPECT_EQ(run(), "start, progress 33, error Error: encoder failed: fake encoder broke, finish");
    EXPECT_LT(sinceStart(DISPID_Converter_OnError), std::chrono::milliseconds(900));

    connectFakes("blocks=3;read=2:failevent", "", CLSID_FakeDecoder, CLSID_FakeMuteEncoder);
    EXPECT_EQ(run(), "start, progress 33, error Error: decoder failed: fake decoder broke, finish");
    EXPECT_LT(sinceStart(DISPID_Converter_OnError), std::chrono::milliseconds(900));

    connectFakes("blocks=3", "write=2:failinfoevent", CLSID_FakeMuteDecoder, CLSID_FakeMuteEncoder);
    EXPECT_EQ(
        run(), "start, progress 33, error Cannot write samples, encoder failed: Fake write failed., finish");
    EXPECT_GE(sinceStart(DISPID_Converter_OnError), std::chrono::milliseconds(950));

    connectFakes("blocks=3;read=2:failinfoevent", "", CLSID_FakeMuteDecoder, CLSID_FakeMuteEncoder);
    EXPECT_EQ(
        run(), "start, progress 33, error Cannot read samples, decoder failed: Fake read failed., finish");
    EXPECT_GE(sinceStart(DISPID_Converter_OnError), std::chrono::milliseconds(950));
}

// While Go runs, property puts and the other methods are refused (also right after Go returns);
// CancelConversion stops after the block in progress, closes both sides and reports no error.
TEST_F(Conversion, RefusesChangesWhileRunningAndCancels)
{
    connectFakes("blocks=1000;delay=20", "");
    ASSERT_EQ(m_converter->Go(), S_OK);
    EXPECT_EQ(m_converter->Go(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Error: method mustn't be called when conversion is in progress."));
    EXPECT_EQ(m_converter->GoSync(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Error: method mustn't be called when conversion is in progress."));
    EXPECT_EQ(m_converter->OpenDestination(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Error: method mustn't be called when conversion is in progress."));
    EXPECT_EQ(m_converter->CreateDecoderFor(Bstr(std::string_view("a.mp3")).get()), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Error: method mustn't be called when conversion is in progress."));
    EXPECT_EQ(m_converter->put_Source(nullptr), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Error: cannot set property: conversion in progress."));
    EXPECT_EQ(m_converter->put_Destination(nullptr), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Error: cannot set property: conversion in progress."));
    EXPECT_EQ(m_converter->put_KeepTags(VARIANT_FALSE), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Error: cannot set property: conversion in progress."));
    ComPtr<IVlsAudioDecoder> source;
    EXPECT_EQ(m_converter->get_Source(source.put()), S_OK);
    EXPECT_EQ(source.get(), m_decoder.get());

    pumpFor(std::chrono::milliseconds(100));
    ASSERT_EQ(m_converter->CancelConversion(), S_OK);
    ASSERT_TRUE(pumpUntilFinished());
    EXPECT_EQ(events().find("error"), std::string::npos) << events();
    EXPECT_EQ(m_events.front().id, DISPID_Converter_OnStart);
    const std::string decoderLog = logOf(m_decoder.get());
    const std::string encoderLog = logOf(m_encoder.get());
    EXPECT_TRUE(decoderLog.ends_with("Read\nClose\n")) << decoderLog;
    EXPECT_TRUE(encoderLog.ends_with("Write 4096\nClose\n")) << encoderLog;
    // One Write per Read that delivered data before the cancel was seen.
    std::size_t reads = 0;
    std::size_t writes = 0;
    for (std::size_t at = 0; (at = decoderLog.find("Read", at)) != std::string::npos; ++at)
        ++reads;
    for (std::size_t at = 0; (at = encoderLog.find("Write", at)) != std::string::npos; ++at)
        ++writes;
    EXPECT_EQ(writes + 1, reads);
    EXPECT_LT(reads, 1000U);

    EXPECT_EQ(m_converter->CancelConversion(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(),
        converterError("Cannot cancel conversion because there's no conversion process running..."));
    EXPECT_EQ(m_converter->put_KeepTags(VARIANT_FALSE), S_OK);
}

// After a conversion has finished, Go may run again and the events repeat.
TEST_F(Conversion, RunsAgainAfterFinishing)
{
    connectFakes("blocks=2", "");
    EXPECT_EQ(run(), "start, progress 50, progress 100, finish");
    connectFakes("blocks=2", "");
    EXPECT_EQ(run(), "start, progress 50, progress 100, finish");
    // The same objects again: the fake keeps counting and now reads nothing.
    EXPECT_EQ(run(), "start, finish");
}

// Releasing the converter during a conversion cancels it and waits for the worker, which closes
// both sides; the events it had posted are dropped.
TEST_F(Conversion, DestructionCancelsAndWaits)
{
    connectFakes("blocks=1000;delay=10", "");
    ASSERT_EQ(m_converter->Go(), S_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    vlscom::unadvise(m_converter.get(), DIID__IVlsAudioConverterEvents, m_cookie);
    m_converter.reset();
    EXPECT_TRUE(logOf(m_decoder.get()).ends_with("Read\nClose\n"));
    EXPECT_TRUE(logOf(m_encoder.get()).ends_with("Close\n"));
    EXPECT_EQ(referenceCount(m_decoder.get()), 1U);
    EXPECT_EQ(referenceCount(m_encoder.get()), 1U);
    pumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(events(), "");
}

// GoSync converts on the caller's thread without events and returns failures: the calls' own
// codes for the format steps and the closes, the converter's plain texts for Read and Write.
TEST_F(Conversion, GoSyncReturnsFailuresAsResults)
{
    connectFakes("blocks=3;bytes=10;" + allTags, "");
    ASSERT_EQ(m_converter->GoSync(), S_OK);
    EXPECT_EQ(logOf(m_decoder.get()), "Format\nTagData\nRead\nRead\nRead\nRead\nClose\n");
    EXPECT_EQ(logOf(m_encoder.get()),
        "SetInputFormatWFX 1 2 44100 16\n" + tagLines + "Write 10\nWrite 10\nWrite 10\nClose\n");

    connectFakes("format=failinfo", "");
    EXPECT_EQ(m_converter->GoSync(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), "FakeDecoder|Fake format failed.");
    connectFakes("", "format=fail");
    EXPECT_EQ(m_converter->GoSync(), E_FAIL);
    EXPECT_EQ(takeError(), "none");
    connectFakes("read=2:failinfo", "");
    EXPECT_EQ(m_converter->GoSync(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Cannot read samples, decoder failed."));
    connectFakes("", "write=1:failinfo");
    EXPECT_EQ(m_converter->GoSync(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), converterError("Cannot write samples, encoder failed."));
    connectFakes("close=fail", "");
    EXPECT_EQ(m_converter->GoSync(), E_FAIL);
    EXPECT_EQ(logOf(m_encoder.get()).find("Close"), std::string::npos);
    connectFakes("", "close=failinfo");
    EXPECT_EQ(m_converter->GoSync(), DISP_E_EXCEPTION);
    EXPECT_EQ(takeError(), "FakeEncoder|Fake close failed.");

    pumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(events(), "");
}
