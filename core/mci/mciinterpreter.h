#pragma once

#include "mci/mcicommand.h"
#include "mci/waveaudiodevice.h"
#include "platform/imci.h"

#include <map>
#include <memory>
#include <string>

namespace tmbr::gui {

// The command strings of the wave-audio device over the sound server:
//   open new type waveaudio alias A      (device names and keywords in any case)
//   set A [alignment N] [bitspersample 16] [samplespersec N] [channels 1|2]
//         [bytespersec N] [time format milliseconds|ms|samples|bytes]
//   record A                             starts recording and returns at once
//   play A [from N] [wait]               from a position in the time format
//   stop A
//   save A <path> [wait]                 the path may hold blanks
//   status A mode|length|level|position  replies "stopped", "recording",
//                                        "playing"; length in the time
//                                        format; level 0 to 32768
//   close A | close all
// Opening needs no sound server; recording and playing without one fail with
// MciError::NoSoundServer. Devices are used from the creating thread only.
class MciInterpreter : public IMci {
public:
    explicit MciInterpreter(SoundServer server = {});
    ~MciInterpreter() override;
    MciInterpreter(const MciInterpreter&) = delete;
    MciInterpreter& operator=(const MciInterpreter&) = delete;

    std::uint32_t mciSendString(const std::string& command, std::string* reply = nullptr) override;
    std::string mciGetErrorString(std::uint32_t value) override;

private:
    enum class TimeFormat { Milliseconds, Samples, Bytes };
    struct Device {
        explicit Device(const SoundServer& server)
            : audio(server)
        {
        }
        WaveAudioDevice audio;
        TimeFormat timeFormat = TimeFormat::Milliseconds;
    };

    MciError run(const std::string& text, std::string& reply);
    MciError open(const MciCommand& command);
    MciError set(Device& device, const MciCommand& command);
    MciError play(Device& device, const MciCommand& command);
    MciError status(Device& device, const MciCommand& command, std::string& reply);
    MciError close(const MciCommand& command);

    std::uint64_t toFrames(const Device& device, std::uint64_t position) const;
    std::uint64_t fromFrames(const Device& device, std::uint64_t frames) const;

    SoundServer m_server;
    std::map<std::string, std::unique_ptr<Device>> m_devices; // by lower-case alias
};

} // namespace tmbr::gui
