#pragma once

#include <cstdint>
#include <string>

namespace tmbr::gui {

// Result codes of the command-string interpreter. The numbers are stable: a
// caller may keep or compare them.
enum class MciError : std::uint32_t {
    None = 0,
    UnknownCommand = 257, // the first word is no command
    UnknownKeyword = 258, // a word after the alias is not understood
    MissingParameter = 259, // a keyword without its value, or no alias
    BadValue = 260, // a value out of range or not a number
    InconsistentFormat = 261, // alignment or bytes per second disagree with the format
    UnknownDeviceType = 262, // open of something other than waveaudio
    AliasInUse = 263,
    DeviceNotOpen = 264, // the alias names no open device
    DeviceBusy = 265, // recording or playing
    NoSoundServer = 270, // the sound server cannot be reached
    NoInputDevice = 271, // the server has no usable recording source
    NoOutputDevice = 272, // the server has no usable playback sink
    StreamFailed = 273, // the server ended a recording or playback stream
    RecordingFull = 274, // the recording reached the largest size a WAV file holds
    CannotSave = 280, // the WAV file could not be written
    OutOfMemory = 281,
};

// The text of a code, without a final full stop (callers may add their own
// mark); codes outside the table give a text naming the number.
std::string mciErrorText(std::uint32_t value);

constexpr std::uint32_t code(MciError error)
{
    return static_cast<std::uint32_t>(error);
}

} // namespace tmbr::gui
