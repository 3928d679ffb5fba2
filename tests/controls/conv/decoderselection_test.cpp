#include "decoderselection.h"
#include "vlsdec.h"

#include <gtest/gtest.h>

using namespace vlsconv;

// The last four characters of a name longer than four choose the kind, in any letter case.
TEST(DecoderSelection, ChoosesByTheLastFourCharacters)
{
    EXPECT_EQ(fileKindOf(u"SONG.MP3"), FileKind::Mpeg);
    EXPECT_EQ(fileKindOf(u"song.mp3"), FileKind::Mpeg);
    EXPECT_EQ(fileKindOf(u"/music/a.Ogg"), FileKind::Vorbis);
    EXPECT_EQ(fileKindOf(u"x.wMa"), FileKind::WindowsMedia);
    EXPECT_EQ(fileKindOf(u"a.wav"), FileKind::Wave);
    EXPECT_EQ(fileKindOf(u"a.wv"), FileKind::Unknown);
    EXPECT_EQ(fileKindOf(u".mp3"), FileKind::Unknown);
    EXPECT_EQ(fileKindOf(u"mp3"), FileKind::Unknown);
    EXPECT_EQ(fileKindOf(u""), FileKind::Unknown);
    EXPECT_EQ(fileKindOf(u"a.mp3 "), FileKind::Unknown);
    EXPECT_EQ(fileKindOf(u"a_mp3"), FileKind::Unknown);
    EXPECT_EQ(fileKindOf(u"a.mp3.txt"), FileKind::Unknown);
}

TEST(DecoderSelection, MapsKindsAndFormatTagsToDecoderClasses)
{
    EXPECT_EQ(decoderClassFor(FileKind::WindowsMedia), CLSID_VlsWMADecoder);
    EXPECT_EQ(decoderClassFor(FileKind::Mpeg), CLSID_VlsMP3Decoder);
    EXPECT_EQ(decoderClassFor(FileKind::Vorbis), CLSID_VlsVorbisDecoder);
    EXPECT_EQ(decoderClassFor(FileKind::Wave), GUID_NULL);
    EXPECT_EQ(decoderClassForFormatTag(1), CLSID_VlsWaveDecoder);
    EXPECT_EQ(decoderClassForFormatTag(85), CLSID_VlsMP3Decoder);
    EXPECT_EQ(decoderClassForFormatTag(3), std::nullopt);
    EXPECT_EQ(decoderClassForFormatTag(0), std::nullopt);
}

// The destination name is cut at the last dot, even one in a folder name; without a dot the name
// stays as it is.
TEST(DecoderSelection, CutsTheDestinationNameAtTheLastDot)
{
    EXPECT_EQ(destinationNameFor(u"/music/track.ogg"), u"/music/track");
    EXPECT_EQ(destinationNameFor(u"/music/track.live.mp3"), u"/music/track.live");
    EXPECT_EQ(destinationNameFor(u"/music.d/track"), u"/music");
    EXPECT_EQ(destinationNameFor(u"track"), u"track");
    EXPECT_EQ(destinationNameFor(u""), u"");
    EXPECT_EQ(destinationNameFor(u"track."), u"track");
}
