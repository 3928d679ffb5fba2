#include "vorbisstream.h"

#include "filesource.h"
#include "ioerror.h"
#include "vlsdecmessages.h"
#include "vorbiscomments.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

namespace vlsdec {

std::size_t VorbisStream::readInput(void* data, std::size_t size, std::size_t count, void* input)
{
    auto& in = *static_cast<Input*>(input);
    if (size == 0 || count == 0)
        return 0;
    // The library takes a read of 0 with errno set for a failure, without it for the end.
    try {
        const std::size_t n = in.source->readAt(in.offset, data, size * count);
        in.offset += n;
        errno = 0;
        return n / size;
    } catch (const vlsmp3::IoError& error) {
        errno = error.errorCode() ? error.errorCode() : EIO;
    } catch (...) {
        errno = EIO;
    }
    return 0;
}

int VorbisStream::seekInput(void* input, ogg_int64_t offset, int whence)
{
    auto& in = *static_cast<Input*>(input);
    const auto size = static_cast<std::int64_t>(in.source->size());
    std::int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<std::int64_t>(in.offset);
    else if (whence == SEEK_END)
        base = size;
    else if (whence != SEEK_SET)
        return -1;
    if ((offset < 0 && base + offset < 0) || (offset > 0 && offset > size - base))
        return -1;
    in.offset = static_cast<std::uint64_t>(base + offset);
    return 0;
}

long VorbisStream::tellInput(void* input)
{
    return static_cast<long>(static_cast<Input*>(input)->offset);
}

std::unique_ptr<VorbisStream> VorbisStream::open(const VorbisfileBinding& library, const std::string& path)
{
    return open(library, std::make_unique<vlsmp3::FileSource>(path));
}

std::unique_ptr<VorbisStream> VorbisStream::open(
    const VorbisfileBinding& library, std::unique_ptr<vlsmp3::ByteSource> source)
{
    return std::unique_ptr<VorbisStream>(new VorbisStream(library, std::move(source)));
}

VorbisStream::VorbisStream(const VorbisfileBinding& library, std::unique_ptr<vlsmp3::ByteSource> source)
    : m_library(library)
{
    m_input.source = std::move(source);
    const ov_callbacks callbacks { &VorbisStream::readInput, &VorbisStream::seekInput, nullptr,
        &VorbisStream::tellInput };
    // On failure the library has released what it had taken itself.
    if (m_library.openCallbacks(&m_input, &m_file, nullptr, 0, callbacks) != 0)
        fail(DecMessage::NotAVorbisFile);
    try {
        describe();
    } catch (...) {
        m_library.clear(&m_file);
        throw;
    }
}

void VorbisStream::describe()
{
    const vorbis_info* info = m_library.info(&m_file, -1);
    if (!info || info->rate <= 0 || info->rate > INT32_MAX)
        fail(DecMessage::NotAVorbisFile);
    if (info->channels != 1 && info->channels != 2)
        fail(DecMessage::VorbisLayoutUnsupported);
    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = static_cast<std::uint16_t>(info->channels);
    m_format.nSamplesPerSec = static_cast<std::uint32_t>(info->rate);
    m_format.wBitsPerSample = 16;
    m_format.nBlockAlign = static_cast<std::uint16_t>(info->channels * 2);
    m_format.nAvgBytesPerSec = m_format.nSamplesPerSec * m_format.nBlockAlign;
    m_format.cbSize = 0;
    m_totalFrames = std::max<std::int64_t>(m_library.pcmTotal(&m_file, -1), 0);
    m_duration = double(m_totalFrames) / double(info->rate);
    m_bitrate = static_cast<std::int32_t>(std::clamp<long>(m_library.bitrate(&m_file, -1), 0, INT32_MAX));

    if (const vorbis_comment* comment = m_library.comment(&m_file, -1); comment && comment->user_comments) {
        std::vector<std::string_view> comments;
        for (int i = 0; i < comment->comments; ++i) {
            if (comment->user_comments[i] && comment->comment_lengths && comment->comment_lengths[i] >= 0)
                comments.emplace_back(
                    comment->user_comments[i], static_cast<std::size_t>(comment->comment_lengths[i]));
        }
        m_tags = tagsFromComments(comments);
    }
}

VorbisStream::~VorbisStream()
{
    m_library.clear(&m_file);
}

void VorbisStream::seek(std::int64_t targetMs)
{
    const std::int64_t target = std::clamp<std::int64_t>(targetMs, 0, std::int64_t(m_duration * 1000.0));
    m_pendingSeekMs.store(target);
    m_positionMs.store(double(target));
}

std::size_t VorbisStream::read(std::span<std::uint8_t> out)
{
    if (out.empty())
        return 0;
    if (const std::int64_t targetMs = m_pendingSeekMs.exchange(-1); targetMs >= 0) {
        const std::int64_t frame = std::min(targetMs * m_format.nSamplesPerSec / 1000, m_totalFrames);
        if (m_library.pcmSeek(&m_file, frame) != 0)
            fail(DecMessage::VorbisDataCorrupt);
        m_frame = frame;
        m_carry.clear();
        m_carried = 0;
    }
    // The library delivers whole sample frames only: a smaller buffer is served from a decoded one.
    if (m_carried == m_carry.size() && out.size() < m_format.nBlockAlign) {
        m_carry.resize(4096);
        m_carry.resize(decode(m_carry));
        m_carried = 0;
        if (m_carry.empty())
            return 0;
    }
    if (m_carried < m_carry.size()) {
        const std::size_t n = std::min(out.size(), m_carry.size() - m_carried);
        std::copy_n(m_carry.begin() + static_cast<std::ptrdiff_t>(m_carried), n, out.begin());
        m_carried += n;
        return n;
    }
    return decode(out);
}

std::size_t VorbisStream::decode(std::span<std::uint8_t> out)
{
    const std::size_t wanted
        = std::min<std::size_t>(out.size(), INT_MAX) / m_format.nBlockAlign * m_format.nBlockAlign;
    for (;;) {
        int section = 0;
        const long n = m_library.read(
            &m_file, reinterpret_cast<char*>(out.data()), static_cast<int>(wanted), 0, 2, 1, &section);
        // A hole in the data (a lost or damaged page) is skipped, as players do.
        if (n == OV_HOLE)
            continue;
        if (n < 0)
            fail(DecMessage::VorbisDataCorrupt);
        if (n > 0) {
            const vorbis_info* info = m_library.info(&m_file, section);
            if (!info || info->channels != m_format.nChannels || info->rate != long(m_format.nSamplesPerSec))
                fail(DecMessage::VorbisFormatChanged);
        }
        m_frame += n / m_format.nBlockAlign;
        m_positionMs.store(double(m_frame) * 1000.0 / double(m_format.nSamplesPerSec));
        return static_cast<std::size_t>(n);
    }
}

} // namespace vlsdec
