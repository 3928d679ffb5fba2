#include "testsupport.h"
#include "vlsaudiodecoder.h"
#include "vlsaudioencoder.h"
#include "vlscom/activation.h"
#include "vlscom/errorinfo.h"
#include "vlsmp3x1.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace vlscom;

// Without the decoding library the decoder cannot be created and says why, every time; the encoder
// of the same server does not need that library and is still created.
TEST(DecoderControlWithoutEngine, CreationFailsWithMessage1AndTheEncoderStaysUsable)
{
    ::setenv("VLSMP3_MPG123_LIBRARY", "/nonexistent/libmpg123.so.0", 1);
    TemporaryRegistry registry;
    ServerLibrary server(VLS_MP3_SERVER);
    ASSERT_EQ(server.registerServer(), S_OK);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ComPtr<IVlsAudioDecoder> decoder;
        EXPECT_EQ(createInstance(VlsMP3Decoderx1_ProgID, decoder), DISP_E_EXCEPTION);
        EXPECT_FALSE(decoder);
        const auto error = takeErrorInfo();
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(toUtf8(error->source), "Aurikit.MP3Decoderx1.1");
        EXPECT_EQ(toUtf8(error->description), "Internal error #1. mpglib.dll could not be loaded.");
    }
    {
        ComPtr<IVlsAudioEncoder> encoder;
        ASSERT_EQ(createInstance(VlsMP3Encoderx1_ProgID, encoder), S_OK);
        ASSERT_TRUE(encoder);
        EXPECT_EQ(encoder->SetOutputFormatCBR(128000), S_OK);
    }
    EXPECT_EQ(server.canUnloadNow(), S_OK);
}
