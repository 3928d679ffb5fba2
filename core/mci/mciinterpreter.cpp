#include "mci/mciinterpreter.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace tmbr::gui {

namespace {

std::string lowerCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::optional<std::uint64_t> number(const std::string& text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

MciInterpreter::MciInterpreter(SoundServer server)
    : m_server(std::move(server))
{
}

MciInterpreter::~MciInterpreter() = default;

std::uint32_t MciInterpreter::mciSendString(const std::string& command, std::string* reply)
{
    std::string text;
    MciError result = MciError::None;
    try {
        result = run(command, text);
    } catch (const std::bad_alloc&) {
        result = MciError::OutOfMemory;
    }
    if (reply)
        *reply = result == MciError::None ? text : std::string();
    return code(result);
}

std::string MciInterpreter::mciGetErrorString(std::uint32_t value)
{
    return mciErrorText(value);
}

MciError MciInterpreter::run(const std::string& text, std::string& reply)
{
    const MciCommand command = parseMciCommand(text);
    if (command.verb.empty())
        return MciError::UnknownCommand;
    if (sameWord(command.verb, "open"))
        return open(command);
    if (sameWord(command.verb, "close"))
        return close(command);
    const bool known = sameWord(command.verb, "set") || sameWord(command.verb, "record")
        || sameWord(command.verb, "play") || sameWord(command.verb, "stop") || sameWord(command.verb, "save")
        || sameWord(command.verb, "status");
    if (!known)
        return MciError::UnknownCommand;
    if (command.device.empty())
        return MciError::MissingParameter;
    const auto found = m_devices.find(lowerCase(command.device));
    if (found == m_devices.end())
        return MciError::DeviceNotOpen;
    Device& device = *found->second;

    if (sameWord(command.verb, "set"))
        return set(device, command);
    if (sameWord(command.verb, "play"))
        return play(device, command);
    if (sameWord(command.verb, "status"))
        return status(device, command, reply);
    if (sameWord(command.verb, "save")) {
        const std::string path = savePathOf(command.rest);
        if (path.empty())
            return MciError::MissingParameter;
        return device.audio.save(path);
    }
    // record and stop take no more than the wait flag.
    for (const std::string& word : command.words) {
        if (!sameWord(word, "wait"))
            return MciError::UnknownKeyword;
    }
    if (sameWord(command.verb, "record"))
        return device.audio.record();
    return device.audio.stop();
}

MciError MciInterpreter::open(const MciCommand& command)
{
    if (!sameWord(command.device, "new"))
        return command.device.empty() ? MciError::MissingParameter : MciError::UnknownDeviceType;
    std::string type;
    std::string alias;
    for (std::size_t i = 0; i < command.words.size(); ++i) {
        const std::string& word = command.words[i];
        if (sameWord(word, "wait"))
            continue;
        if (!sameWord(word, "type") && !sameWord(word, "alias"))
            return MciError::UnknownKeyword;
        if (i + 1 >= command.words.size())
            return MciError::MissingParameter;
        (sameWord(word, "type") ? type : alias) = command.words[++i];
    }
    if (type.empty() || alias.empty())
        return MciError::MissingParameter;
    if (!sameWord(type, "waveaudio"))
        return MciError::UnknownDeviceType;
    const std::string key = lowerCase(alias);
    if (key == "all" || key == "new")
        return MciError::BadValue;
    if (m_devices.contains(key))
        return MciError::AliasInUse;
    m_devices.emplace(key, std::make_unique<Device>(m_server));
    return MciError::None;
}

MciError MciInterpreter::set(Device& device, const MciCommand& command)
{
    PcmFormat format = device.audio.format();
    std::optional<std::uint64_t> alignment;
    std::optional<std::uint64_t> bytesPerSec;
    std::optional<TimeFormat> timeFormat;
    const std::vector<std::string>& words = command.words;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (sameWord(word, "wait"))
            continue;
        if (sameWord(word, "time")) {
            if (i + 2 >= words.size() || !sameWord(words[i + 1], "format"))
                return MciError::MissingParameter;
            const std::string& name = words[i + 2];
            i += 2;
            if (sameWord(name, "milliseconds") || sameWord(name, "ms"))
                timeFormat = TimeFormat::Milliseconds;
            else if (sameWord(name, "samples"))
                timeFormat = TimeFormat::Samples;
            else if (sameWord(name, "bytes"))
                timeFormat = TimeFormat::Bytes;
            else
                return MciError::BadValue;
            continue;
        }
        const bool keyword = sameWord(word, "alignment") || sameWord(word, "bitspersample")
            || sameWord(word, "samplespersec") || sameWord(word, "channels") || sameWord(word, "bytespersec");
        if (!keyword)
            return MciError::UnknownKeyword;
        if (i + 1 >= words.size())
            return MciError::MissingParameter;
        const std::optional<std::uint64_t> value = number(words[++i]);
        if (!value)
            return MciError::BadValue;
        if (sameWord(word, "alignment")) {
            alignment = *value;
        } else if (sameWord(word, "bytespersec")) {
            bytesPerSec = *value;
        } else if (sameWord(word, "bitspersample")) {
            if (*value != 16)
                return MciError::BadValue;
            format.bitsPerSample = 16;
        } else if (sameWord(word, "samplespersec")) {
            if (*value < 8000 || *value > 192000)
                return MciError::BadValue;
            format.samplesPerSec = static_cast<std::uint32_t>(*value);
        } else {
            if (*value != 1 && *value != 2)
                return MciError::BadValue;
            format.channels = static_cast<std::uint16_t>(*value);
        }
    }
    if ((alignment && *alignment != format.blockAlign())
        || (bytesPerSec && *bytesPerSec != format.bytesPerSec()))
        return MciError::InconsistentFormat;
    if (format != device.audio.format()) {
        if (const MciError result = device.audio.setFormat(format); result != MciError::None)
            return result;
    }
    if (timeFormat)
        device.timeFormat = *timeFormat;
    return MciError::None;
}

MciError MciInterpreter::play(Device& device, const MciCommand& command)
{
    std::uint64_t from = 0;
    auto completion = WaveAudioDevice::Completion::Async;
    for (std::size_t i = 0; i < command.words.size(); ++i) {
        const std::string& word = command.words[i];
        if (sameWord(word, "wait")) {
            completion = WaveAudioDevice::Completion::Wait;
        } else if (sameWord(word, "from")) {
            if (i + 1 >= command.words.size())
                return MciError::MissingParameter;
            const std::optional<std::uint64_t> value = number(command.words[++i]);
            if (!value)
                return MciError::BadValue;
            from = *value;
        } else {
            return MciError::UnknownKeyword;
        }
    }
    return device.audio.play(toFrames(device, from), completion);
}

MciError MciInterpreter::status(Device& device, const MciCommand& command, std::string& reply)
{
    if (command.words.empty())
        return MciError::MissingParameter;
    if (command.words.size() > 2 || (command.words.size() == 2 && !sameWord(command.words[1], "wait")))
        return MciError::UnknownKeyword;
    const std::string& item = command.words[0];
    if (sameWord(item, "mode")) {
        switch (device.audio.mode()) {
        case WaveAudioDevice::Mode::Stopped:
            reply = "stopped";
            break;
        case WaveAudioDevice::Mode::Recording:
            reply = "recording";
            break;
        case WaveAudioDevice::Mode::Playing:
            reply = "playing";
            break;
        }
    } else if (sameWord(item, "length")) {
        reply = std::to_string(fromFrames(device, device.audio.frames()));
    } else if (sameWord(item, "level")) {
        reply = std::to_string(device.audio.level());
    } else {
        return MciError::UnknownKeyword;
    }
    return MciError::None;
}

MciError MciInterpreter::close(const MciCommand& command)
{
    if (command.device.empty())
        return MciError::MissingParameter;
    for (const std::string& word : command.words) {
        if (!sameWord(word, "wait"))
            return MciError::UnknownKeyword;
    }
    if (sameWord(command.device, "all")) {
        m_devices.clear();
        return MciError::None;
    }
    return m_devices.erase(lowerCase(command.device)) > 0 ? MciError::None : MciError::DeviceNotOpen;
}

std::uint64_t MciInterpreter::toFrames(const Device& device, std::uint64_t position) const
{
    const PcmFormat& format = device.audio.format();
    switch (device.timeFormat) {
    case TimeFormat::Samples:
        return position;
    case TimeFormat::Bytes:
        return position / format.blockAlign();
    case TimeFormat::Milliseconds:
        break;
    }
    return position / 1000 * format.samplesPerSec + position % 1000 * format.samplesPerSec / 1000;
}

std::uint64_t MciInterpreter::fromFrames(const Device& device, std::uint64_t frames) const
{
    const PcmFormat& format = device.audio.format();
    switch (device.timeFormat) {
    case TimeFormat::Samples:
        return frames;
    case TimeFormat::Bytes:
        return frames * format.blockAlign();
    case TimeFormat::Milliseconds:
        break;
    }
    return frames * 1000 / format.samplesPerSec;
}

} // namespace tmbr::gui
