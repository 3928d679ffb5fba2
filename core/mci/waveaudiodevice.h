#pragma once

#include "mci/mcierror.h"
#include "mci/wavefile.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tmbr::gui {

// Where the device's sound comes from and goes to. Empty texts mean the
// sound server's defaults (PULSE_SERVER and the default source and sink).
struct SoundServer {
    std::string server; // "unix:/run/user/1000/pulse/native"
    std::string source;
    std::string sink;
};

// One wave-audio device: a recording held in memory, recorded from and played
// to the sound server by a worker thread in fragments of about 50 ms. All
// members are called from one thread; none blocks longer than connecting to
// the server or finishing the fragment in flight.
class WaveAudioDevice {
public:
    enum class Mode { Stopped, Recording, Playing };

    explicit WaveAudioDevice(SoundServer server);
    ~WaveAudioDevice(); // stops and joins the worker
    WaveAudioDevice(const WaveAudioDevice&) = delete;
    WaveAudioDevice& operator=(const WaveAudioDevice&) = delete;

    // Changes the format of the next recording; discards the recording held.
    MciError setFormat(const PcmFormat& format);
    const PcmFormat& format() const { return m_format; }

    // Starts recording, appended to what is held. Returns once the server has
    // accepted the stream (or refused it).
    MciError record();
    // Starts playing from `fromFrame`; past the end plays nothing. `Wait`
    // returns only when all is played.
    enum class Completion { Async, Wait };
    MciError play(std::uint64_t fromFrame, Completion completion);
    // Ends recording or playing at once; keeps the recording. A stream that
    // ended by itself on a failure (StreamFailed, RecordingFull, OutOfMemory)
    // is reported once, here.
    MciError stop();
    // Writes the recording as a RIFF/WAVE file (see writeWaveFile).
    MciError save(const std::string& path);

    Mode mode() const;
    // Sample frames held.
    std::uint64_t frames() const;
    // Peak of the latest recorded fragment, 0 to 32768; 0 when not recording.
    int level() const;

private:
    void requestStop();
    void finishWorker();
    void recordLoop(void* handle);
    void playLoop(void* handle, std::size_t fromByte);

    SoundServer m_server;
    PcmFormat m_format { 11025, 1, 16 };

    mutable std::mutex m_dataMutex;
    std::vector<char> m_data; // guarded by m_dataMutex

    std::thread m_worker;
    std::atomic<Mode> m_mode { Mode::Stopped };
    std::atomic<bool> m_stopRequested { false };
    std::atomic<int> m_level { 0 };
    std::atomic<std::uint32_t> m_streamError { 0 };
};

} // namespace tmbr::gui
