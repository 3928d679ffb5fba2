#pragma once

// The MP3 encoder without its component shell: the output (a file it creates or a descriptor the
// caller owns), the input format, the output mode, the tags, and the stream that the first write
// starts (engine stream, byte pipe, encoding thread). Failures throw EncoderError with the
// catalogue message. All members are called from one thread (the owner's); only the error sink
// runs on the encoding thread.

#include "beconfig.h"
#include "encoderconfig.h"
#include "encodererror.h"
#include "encodingthread.h"
#include "tagfields.h"
#include "waveformatrecord.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vlsmp3 {

class BytePipe;
class EngineAdapter;
class LameBinding;

enum class OverwriteAnswer { Yes, No };
using OverwriteQuestion = std::function<OverwriteAnswer()>;

class Mp3Encoder {
public:
    // The name an output given by descriptor reports.
    static constexpr const char* handleFileName = "<Custom Application Handle>";

    explicit Mp3Encoder(const LameBinding& lame);
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;
    // Finishes an open output as close() does; its failures are dropped.
    ~Mp3Encoder();

    // Failures of the encoding thread (#17 to #20) go here, called on that thread.
    void setErrorSink(EncoderErrorSink sink) { m_errorSink = std::move(sink); }

    // Creates the output file (UTF-8 path), closing an open output first. With add extension on,
    // ".mp3" is appended unless the name ends in it (any case). An existing file with overwrite
    // prompt on is replaced only if ask answers Yes ("Cancelled by user." otherwise).
    void open(const std::string& name, const OverwriteQuestion& ask);
    // Takes the caller's descriptor as output (never closed here), closing an open output first.
    // -1 is refused (#4).
    void openHandle(std::intptr_t handle);

    void setInputFormat(std::int32_t channels, std::int32_t samplesPerSec, std::int32_t bitsPerSample);
    void setInputFormatWfx(const WaveFormat& format);
    void setOutputFormatVbr(float quality);
    void setOutputFormatAbr(std::int32_t averageBitrate);
    void setOutputFormatCbr(std::int32_t bitrate);
    // Output sample rate (Hz) of the next stream; 0 lets the engine choose. Not checked.
    void forceEncodedSamplerate(std::int32_t sampleRate) { m_forcedSampleRate = sampleRate; }

    // Encodes PCM bytes in the input format, split anywhere. The first write after an open starts
    // the stream. Blocks while the encoding thread is behind.
    void write(const void* data, std::size_t count);

    // The failure that ended the current stream's encoding thread (#17 to #20) once the thread has
    // reported it, so a caller whose write broke the pipe (#9) can tell why; empty otherwise.
    // Callable from any thread.
    std::optional<EncoderError> encodingFailure() const;

    // Finishes the output: drains the pipe, flushes the engine and, for a file, appends the ID3v1
    // trailer, writes the VBR header and puts the ID3v2 tag in front. The output and the stream are
    // released whatever fails; the first failure is thrown afterwards.
    void close();

    bool isOpen() const { return m_open; }
    // Throws "Error: cannot access property: file is not open." when no output is open.
    const std::string& fileName() const;

    bool addExtension() const { return m_addExtension; }
    void setAddExtension(bool on) { m_addExtension = on; }
    bool overwritePrompt() const { return m_overwritePrompt; }
    void setOverwritePrompt(bool on) { m_overwritePrompt = on; }
    // Buffer size of the next stream's pipe in bytes (0 = the pipe's default); reset by closing a
    // file. A suggestion: the pipe is never smaller than minimumPipeSize, so that the writer and the
    // encoding thread wake each other once per many pieces, not per piece.
    void setPipeSizeHint(std::uint32_t bytes) { m_pipeSizeHint = bytes; }
    static constexpr std::uint32_t minimumPipeSize = 64 * 1024;

    TagFields& tags() { return m_tags; }
    const TagFields& tags() const { return m_tags; }
    const WaveFormat& inputFormat() const { return m_inputFormat; }

    // Test seam: sees the configuration record just before the engine stream starts.
    void setConfigInspector(std::function<void(const BE_CONFIG&)> inspector)
    {
        m_configInspector = std::move(inspector);
    }

private:
    void startStream();
    void releaseStream();
    void finishFile();

    bool m_overwritePrompt = true;
    bool m_addExtension = true;
    std::string m_fileName;
    bool m_open = false;
    int m_output = -1; // file mode: our descriptor; handle mode: the caller's
    bool m_handleMode = false;
    bool m_streamStarted = false;
    WaveFormat m_inputFormat { WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0 };
    OutputMode m_outputMode = OutputMode::VBR;
    std::uint32_t m_bitrate = 0;
    float m_quality = 0.5F;
    std::int32_t m_forcedSampleRate = 0;
    std::uint32_t m_pipeSizeHint = 0;
    TagFields m_tags;

    std::unique_ptr<EngineAdapter> m_engine;
    std::vector<std::uint8_t> m_outputBuffer;
    std::vector<std::int16_t> m_conversionBuffer;
    std::unique_ptr<BytePipe> m_pipe;
    std::unique_ptr<EncodingThread> m_thread;

    EncoderErrorSink m_errorSink;
    mutable std::mutex m_failureMutex;
    std::optional<EncoderError> m_encodingFailure; // guarded by m_failureMutex
    std::function<void(const BE_CONFIG&)> m_configInspector;
};

} // namespace vlsmp3
