#include "waveencoding.h"

#include "encodererror.h"
#include "mp3encoder.h"
#include "pcmformatconverter.h"
#include "wavereader.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace vlsmp3 {

namespace {

constexpr std::size_t converterReadSize = 16384;

// The wave's data as pieces at the (possibly raised) rate.
class WavePieces {
public:
    WavePieces(WaveReader& reader, int factor)
        : m_reader(reader)
        , m_input(converterReadSize)
    {
        if (factor > 1) {
            const WaveFormat& f = reader.format();
            const PcmFormat source { f.nChannels, f.nSamplesPerSec, f.wBitsPerSample };
            PcmFormat target = source;
            target.sampleRate *= factor;
            m_converter.emplace(source, target);
        }
    }

    // Fills piece with the next bytes (at most wavePieceSize); empty at the end.
    void next(std::vector<std::uint8_t>& piece)
    {
        piece.resize(wavePieceSize);
        if (!m_converter) {
            piece.resize(m_reader.read(piece));
            return;
        }
        while (!m_inputEnded && m_converter->held() < wavePieceSize) {
            const std::size_t count = m_reader.read(m_input);
            if (count == 0) {
                while (!m_converter->flush())
                    ;
                m_inputEnded = true;
                break;
            }
            std::span<const std::uint8_t> rest(m_input.data(), count);
            while (!rest.empty())
                rest = rest.subspan(m_converter->push(rest));
        }
        piece.resize(m_converter->take(piece));
    }

private:
    WaveReader& m_reader;
    std::optional<PcmFormatConverter> m_converter;
    std::vector<std::uint8_t> m_input;
    bool m_inputEnded = false;
};

WaveFormat raisedFormat(const WaveFormat& format, int factor)
{
    WaveFormat raised = format;
    raised.nSamplesPerSec *= static_cast<std::uint32_t>(factor);
    return raised;
}

} // namespace

int waveUpsamplingFactor(std::uint32_t sampleRate)
{
    switch (sampleRate) {
    case 8000:
    case 11025:
    case 12000:
        return 4;
    case 16000:
    case 22050:
    case 24000:
        return 2;
    default:
        return 1;
    }
}

void encodeWave(Mp3Encoder& encoder, const std::string& path)
{
    encoder.setPipeSizeHint(wavePieceSize);
    const auto reader = WaveReader::openFile(path);
    if (!reader)
        throw WaveEncodeError(waveOpenFailedMessage);
    const int factor = waveUpsamplingFactor(reader->format().nSamplesPerSec);
    encoder.setInputFormatWfx(raisedFormat(reader->format(), factor));
    WavePieces pieces(*reader, factor);
    std::vector<std::uint8_t> piece;
    try {
        for (pieces.next(piece); !piece.empty(); pieces.next(piece))
            encoder.write(piece.data(), piece.size());
    } catch (const EncoderError& error) {
        // The pipe breaks because the encoding thread stopped; this form fires no events, so the
        // thread's own failure is what its caller learns.
        if (error.id() == EncoderMessage::PipeBroken) {
            if (auto cause = encoder.encodingFailure())
                throw *cause;
        }
        throw;
    } catch (const std::exception&) {
        // The wave file failed to read after opening.
        throw WaveEncodeError(waveAbortedMessage);
    }
}

void encodeWave(
    Mp3Encoder& encoder, const std::string& path, WaveEncodeEvents& events, const std::atomic<bool>& stop)
{
    encoder.setPipeSizeHint(wavePieceSize);
    const auto reader = WaveReader::openFile(path);
    if (!reader) {
        events.error(waveOpenFailedMessage);
        return;
    }
    const int factor = waveUpsamplingFactor(reader->format().nSamplesPerSec);
    try {
        encoder.setInputFormatWfx(raisedFormat(reader->format(), factor));
    } catch (const EncoderError& error) {
        events.error(error.message());
        return;
    }
    if (stop)
        return;
    events.start();
    try {
        WavePieces pieces(*reader, factor);
        std::vector<std::uint8_t> piece;
        std::uint64_t consumed = 0;
        int reported = -1;
        for (pieces.next(piece); !piece.empty() && !stop; pieces.next(piece)) {
            encoder.write(piece.data(), piece.size());
            consumed += piece.size() / static_cast<std::size_t>(factor);
            // The resampler may yield a few bytes more than factor × input: never past 100.
            const auto percent
                = static_cast<int>(std::min<std::uint64_t>(consumed * 100 / reader->dataSize(), 100));
            if (percent > reported) {
                events.progress(percent);
                reported = percent;
            }
        }
    } catch (const std::exception&) {
        events.error(waveAbortedMessage);
    }
    if (!stop)
        events.finish();
}

} // namespace vlsmp3
