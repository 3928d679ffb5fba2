#include "mci/mcierror.h"

namespace tmbr::gui {

std::string mciErrorText(std::uint32_t value)
{
    switch (static_cast<MciError>(value)) {
    case MciError::None:
        return "The command completed successfully";
    case MciError::UnknownCommand:
        return "The command is not known to the wave-audio device";
    case MciError::UnknownKeyword:
        return "The command contains a word that the wave-audio device does not understand";
    case MciError::MissingParameter:
        return "The command is missing a device alias or a value";
    case MciError::BadValue:
        return "A value in the command is not a number or is out of range";
    case MciError::InconsistentFormat:
        return "The block alignment or bytes per second do not match the sample rate, channels and "
               "bits per sample";
    case MciError::UnknownDeviceType:
        return "Only the waveaudio device type can be opened";
    case MciError::AliasInUse:
        return "The alias is already in use by an open device";
    case MciError::DeviceNotOpen:
        return "The device is not open. Open it before sending it commands";
    case MciError::DeviceBusy:
        return "The device is busy recording or playing. Stop it first";
    case MciError::NoSoundServer:
        return "The sound server is not running or cannot be reached. Start PulseAudio (or PipeWire "
               "with its PulseAudio service) and try again";
    case MciError::NoInputDevice:
        return "The sound server has no recording source that can be used. Check the recording "
               "source in the volume control";
    case MciError::NoOutputDevice:
        return "The sound server has no output device that can be used. Check the output device in "
               "the volume control";
    case MciError::StreamFailed:
        return "The sound server stopped the recording or playback. The sound recorded so far is kept";
    case MciError::RecordingFull:
        return "The recording reached the largest size a WAV file can hold and was stopped. The sound "
               "recorded so far is kept";
    case MciError::CannotSave:
        return "The recording could not be saved. Check that the folder exists, that you may write to "
               "it and that the disk is not full";
    case MciError::OutOfMemory:
        return "There is not enough memory to hold the recording";
    }
    return "Unknown multimedia error " + std::to_string(value);
}

} // namespace tmbr::gui
