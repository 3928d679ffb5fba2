// Decoding arbitrary bytes through libmpg123 in pieces whose sizes the input chooses, the output
// then converted to a format the input chooses. The first 8 bytes steer: piece sizes (4), output
// channels, bits and rate. Decoding must end: the adapter bounds the input fed without output.
// Then the whole input as a file through the stream reader and the decoding thread, which pass
// over joined streams' Info frames and resynchronise after damage; that too must end.

#include "decoderadapter.h"
#include "decodererror.h"
#include "decodingthread.h"
#include "memorysource.h"
#include "mp3streamreader.h"
#include "pcmformatconverter.h"

#include <array>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        return 0;
    const std::uint8_t* steer = data;
    data += 8;
    size -= 8;
    const int channels = 1 + (steer[4] & 1);
    static constexpr int rates[] = { 8000, 11025, 22050, 44100, 48000, 32000, 16000, 24000 };
    const int rate = rates[steer[5] & 7];
    vlsmp3::PcmFormatConverter converter(
        { channels, rate, 16 }, { 1 + ((steer[6] >> 1) & 1), rates[steer[7] & 7], (steer[6] & 1) ? 8 : 16 });

    vlsmp3::DecoderAdapter adapter;
    try {
        adapter.init(channels, rate);
    } catch (const vlsmp3::DecoderError&) {
        std::abort();
    }
    std::array<std::uint8_t, 16384> out {};
    std::array<std::uint8_t, 65536> converted {};
    std::size_t at = 0;
    int piece = 0;
    while (at < size) {
        const std::size_t chunk = std::min<std::size_t>(size - at, 1 + steer[piece++ & 3] * 4);
        std::size_t produced = 0;
        vlsmp3::DecodeResult result = adapter.decode(
            std::span(data + at, chunk), std::span(out.data(), 1 + steer[piece & 3] * 64), produced);
        at += chunk;
        while (result == vlsmp3::DecodeResult::Output) {
            converter.push(std::span(out.data(), produced));
            converter.take(converted);
            result = adapter.decode({}, out, produced);
        }
        if (result == vlsmp3::DecodeResult::Error)
            adapter.init(channels, rate);
    }
    while (!converter.flush())
        converter.take(converted);

    vlsmp3::MemorySource source(std::span(steer, size + 8));
    try {
        const vlsmp3::StreamInfo info = vlsmp3::readStream(source);
        vlsmp3::DecodingThread thread(source, info);
        thread.start();
        while (thread.read(out.data(), out.size()) > 0) { }
        thread.finish();
    } catch (const vlsmp3::DecoderError&) {
        // Not a stream, or no engine: nothing to decode.
    }
    return 0;
}
