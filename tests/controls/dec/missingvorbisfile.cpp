#include "testsupport.h"
#include "vlsaudiodecoder.h"
#include "vlscom/activation.h"
#include "vlscom/errorinfo.h"
#include "vlsdec.h"

#include <gtest/gtest.h>

using namespace vlscom;

// Without libvorbisfile (its path pointed at a file that does not exist) the Vorbis decoder cannot
// be created and says why, every time; the other decoders of the server are still created.
TEST(VorbisDecoderWithoutLibrary, CreationFailsWithMessage1AndTheOtherDecodersStayUsable)
{
    TemporaryRegistry registry;
    ServerLibrary server(VLS_DEC_SERVER);
    ASSERT_EQ(server.registerServer(), S_OK);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ComPtr<IVlsAudioDecoder> decoder;
        EXPECT_EQ(createInstance(CLSID_VlsVorbisDecoder, decoder), DISP_E_EXCEPTION);
        EXPECT_FALSE(decoder);
        const auto error = takeErrorInfo();
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(toUtf8(error->source), "Aurikit.VorbisDecoder.1");
        EXPECT_EQ(toUtf8(error->description), "Internal error #1. libvorbisfile.so.3 could not be loaded.");
    }
    for (const CLSID& clsid : { CLSID_VlsWaveDecoder, CLSID_VlsMP3Decoder }) {
        ComPtr<IVlsAudioDecoder> decoder;
        EXPECT_EQ(createInstance(clsid, decoder), S_OK);
        EXPECT_TRUE(decoder);
    }
    EXPECT_EQ(server.canUnloadNow(), S_OK);
}
