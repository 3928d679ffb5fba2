#include "testsupport.h"
#include "vlsaudioencoder.h"
#include "vlscom/activation.h"
#include "vlscom/errorinfo.h"
#include "vlsmp3x1.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace vlscom;

// Without the encoding library the control cannot be created, and says why; a later creation tries
// again.
TEST(EncoderControlWithoutEngine, CreationFailsWithMessage1)
{
    ::setenv("VLSMP3_LAME_LIBRARY", "/nonexistent/libmp3lame.so.0", 1);
    TemporaryRegistry registry;
    ServerLibrary server(VLS_MP3_SERVER);
    ASSERT_EQ(server.registerServer(), S_OK);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ComPtr<IVlsAudioEncoder> encoder;
        EXPECT_EQ(createInstance(VlsMP3Encoderx1_ProgID, encoder), DISP_E_EXCEPTION);
        EXPECT_FALSE(encoder);
        const auto error = takeErrorInfo();
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(toUtf8(error->source), "Aurikit.MP3Encoderx1.1");
        EXPECT_EQ(toUtf8(error->description), "Internal error #1. Lame_enc.dll could not be loaded.");
    }
    EXPECT_EQ(server.canUnloadNow(), S_OK);
}
