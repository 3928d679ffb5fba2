#include "frameheader.h"

namespace vlsmp3 {

namespace {

constexpr int sampleRates[9] = { 44100, 48000, 32000, 22050, 24000, 16000, 11025, 12000, 8000 };

// [MPEG-1, MPEG-2/2.5][layer - 1][index]
constexpr int bitrates[2][3][16] = {
    {
        { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0 },
        { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0 },
        { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0 },
    },
    {
        { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0 },
        { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0 },
        { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0 },
    },
};

} // namespace

bool FrameHeader::plausible() const
{
    return m_bits >= 0xFFE00000u && ((m_bits >> 17) & 3) != 0 && bitrateIndex() != 15
        && sampleRateIndex() != 3;
}

bool FrameHeader::matches(int channels, int sampleRate) const
{
    return plausible() && layer() == 3 && this->channels() == channels && this->sampleRate() == sampleRate;
}

bool FrameHeader::sameStream(const FrameHeader& other) const
{
    return plausible() && other.plausible() && version() == other.version() && layer() == other.layer()
        && sampleRate() == other.sampleRate() && channels() == other.channels();
}

MpegVersion FrameHeader::version() const
{
    if (m_bits & (1u << 20))
        return (m_bits & (1u << 19)) ? MpegVersion::Mpeg1 : MpegVersion::Mpeg2;
    return MpegVersion::Mpeg25;
}

int FrameHeader::sampleRate() const
{
    const int index = sampleRateIndex();
    if (index == 3)
        return 0;
    switch (version()) {
    case MpegVersion::Mpeg1:
        return sampleRates[index];
    case MpegVersion::Mpeg2:
        return sampleRates[index + 3];
    case MpegVersion::Mpeg25:
        return sampleRates[index + 6];
    }
    return 0;
}

int FrameHeader::bitrateKbps() const
{
    const int layerNumber = layer();
    if (layerNumber < 1 || layerNumber > 3)
        return 0;
    return bitrates[lowSamplingFrequency() ? 1 : 0][layerNumber - 1][bitrateIndex()];
}

int FrameHeader::frameLength() const
{
    const int kbps = bitrateKbps();
    const int rate = sampleRate();
    if (kbps == 0 || rate == 0)
        return 0;
    return kbps * 144000 / (rate * (lowSamplingFrequency() ? 2 : 1)) + padding();
}

} // namespace vlsmp3
