// The MP3 stream reader on arbitrary bytes: the ID3v2 skip, the frame scan, the Xing/Info header
// and both tag readers. Whatever it accepts must describe a first frame inside the bytes and a
// seek offset inside the audio data.

#include "decodererror.h"
#include "memorysource.h"
#include "mp3streamreader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vlsmp3::MemorySource source(std::span(data, size));
    try {
        const vlsmp3::StreamInfo info = vlsmp3::readStream(source);
        if (info.firstFrameOffset + 4 > size || info.sampleRate <= 0)
            std::abort();
        for (const std::int64_t ms : { 0, 1000, 60000, 100000000 }) {
            if (vlsmp3::seekOffset(info, ms) > info.audioDataSize)
                std::abort();
        }
        vlsmp3::findFrame(source, info.firstFrameOffset + 1, info);
    } catch (const vlsmp3::DecoderError& error) {
        if (!error.id())
            std::abort();
    }
    return 0;
}
