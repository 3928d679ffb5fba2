#include "swfreader.h"

#include <algorithm>

namespace tmbr::test {
namespace {

[[noreturn]] void fail(const std::string& what)
{
    throw std::runtime_error(what);
}

class BitReader {
public:
    explicit BitReader(std::span<const uint8_t> data)
        : m_data(data)
    {
    }

    uint32_t ub(unsigned bits)
    {
        if (m_bit + bits > m_data.size() * 8)
            fail("bit field runs past the end of its record");
        uint32_t value = 0;
        for (unsigned i = 0; i < bits; ++i, ++m_bit)
            value = (value << 1) | ((m_data[m_bit / 8] >> (7 - m_bit % 8)) & 1u);
        return value;
    }

    int32_t sb(unsigned bits)
    {
        if (bits == 0)
            return 0;
        const uint32_t raw = ub(bits);
        const uint32_t sign = 1u << (bits - 1);
        return static_cast<int32_t>(raw ^ sign) - static_cast<int32_t>(sign);
    }

    void align() { m_bit = (m_bit + 7) / 8 * 8; }

    uint8_t u8()
    {
        align();
        return static_cast<uint8_t>(ub(8));
    }

    uint16_t u16()
    {
        const uint16_t lo = u8();
        return static_cast<uint16_t>(lo | u8() << 8);
    }

    uint32_t u32()
    {
        const uint32_t lo = u16();
        return lo | static_cast<uint32_t>(u16()) << 16;
    }

    void skip(size_t bytes)
    {
        align();
        if (m_bit / 8 + bytes > m_data.size())
            fail("field runs past the end of its record");
        m_bit += bytes * 8;
    }

    size_t bytePos() const { return (m_bit + 7) / 8; }

private:
    std::span<const uint8_t> m_data;
    size_t m_bit = 0;
};

SwfRect readRect(BitReader& in)
{
    const unsigned bits = in.ub(5);
    SwfRect r;
    r.xMin = in.sb(bits);
    r.xMax = in.sb(bits);
    r.yMin = in.sb(bits);
    r.yMax = in.sb(bits);
    in.align();
    return r;
}

void checkInside(const SwfRect& bounds, int64_t x, int64_t y)
{
    if (x < bounds.xMin || x > bounds.xMax || y < bounds.yMin || y > bounds.yMax)
        fail("shape point (" + std::to_string(x) + ", " + std::to_string(y) + ") lies outside its bounds");
}

} // namespace

SwfMovie readSwfMovie(std::span<const uint8_t> file)
{
    BitReader in(file);
    SwfMovie movie;
    if (file.size() < 8)
        fail("file is shorter than the SWF header");
    movie.signature.assign(file.begin(), file.begin() + 3);
    in.skip(3);
    movie.version = in.u8();
    movie.fileLength = in.u32();
    if (movie.fileLength != file.size())
        fail("length field " + std::to_string(movie.fileLength) + " differs from the file size "
            + std::to_string(file.size()));
    movie.frameSize = readRect(in);
    movie.frameRate = in.u16();
    movie.frameCount = in.u16();

    size_t pos = in.bytePos();
    for (;;) {
        if (pos + 2 > file.size())
            fail("tag stream ends without an End tag");
        const uint16_t header = static_cast<uint16_t>(file[pos] | file[pos + 1] << 8);
        pos += 2;
        SwfTag tag { static_cast<uint16_t>(header >> 6), 0, header & 0x3Fu };
        if (tag.length == 0x3F) {
            if (pos + 4 > file.size())
                fail("long tag header runs past the end of the file");
            tag.length = file[pos] | file[pos + 1] << 8 | file[pos + 2] << 16 | size_t(file[pos + 3]) << 24;
            pos += 4;
        }
        tag.offset = pos;
        if (tag.length > file.size() - pos)
            fail("tag " + std::to_string(tag.code) + " runs past the end of the file");
        pos += tag.length;
        movie.tags.push_back(tag);
        if (tag.code == swftag::End)
            break;
    }
    if (pos != file.size())
        fail(std::to_string(file.size() - pos) + " bytes follow the End tag");
    return movie;
}

SwfShape readSwfShape(std::span<const uint8_t> body)
{
    BitReader in(body);
    SwfShape shape;
    shape.id = in.u16();
    shape.bounds = readRect(in);
    shape.fillStyles = in.u8();
    if (shape.fillStyles == 0xFF)
        fail("extended fill style count is not allowed in DefineShape");
    for (size_t i = 0; i < shape.fillStyles; ++i) {
        const uint8_t type = in.u8();
        if (type != 0x00)
            fail("fill style " + std::to_string(i + 1) + " is not a solid fill");
        in.skip(3);
    }
    shape.lineStyles = in.u8();
    if (shape.lineStyles == 0xFF)
        fail("extended line style count is not allowed in DefineShape");
    in.skip(shape.lineStyles * 5);
    unsigned fillBits = in.ub(4);
    unsigned lineBits = in.ub(4);

    int64_t x = 0, y = 0, startX = 0, startY = 0;
    bool open = false;
    auto closePath = [&] {
        if (open && (x != startX || y != startY))
            fail("an outline does not return to its start");
        if (open)
            ++shape.paths;
        open = false;
    };
    for (;;) {
        if (in.ub(1) == 0) {
            const uint32_t flags = in.ub(5);
            if (flags == 0)
                break;
            if (flags & 0x10)
                fail("new styles are not allowed in DefineShape");
            if (flags & 0x01) {
                closePath();
                const unsigned bits = in.ub(5);
                x = startX = in.sb(bits);
                y = startY = in.sb(bits);
                checkInside(shape.bounds, x, y);
                open = true;
            }
            for (uint32_t flag : { 0x02u, 0x04u }) {
                if ((flags & flag) && in.ub(fillBits) > shape.fillStyles)
                    fail("fill style index past the fill styles");
            }
            if ((flags & 0x08) && in.ub(lineBits) > shape.lineStyles)
                fail("line style index past the line styles");
            continue;
        }
        if (!open)
            fail("an edge precedes the first move");
        const bool straight = in.ub(1) == 1;
        const unsigned bits = in.ub(4) + 2;
        if (straight) {
            if (in.ub(1) == 1) {
                x += in.sb(bits);
                y += in.sb(bits);
            } else if (in.ub(1) == 1) {
                y += in.sb(bits);
            } else {
                x += in.sb(bits);
            }
        } else {
            x += in.sb(bits);
            y += in.sb(bits);
            checkInside(shape.bounds, x, y); // control point
            x += in.sb(bits);
            y += in.sb(bits);
        }
        checkInside(shape.bounds, x, y);
        ++shape.edges;
    }
    closePath();
    if (in.bytePos() != body.size())
        fail("the end of shape record leaves " + std::to_string(body.size() - in.bytePos())
            + " bytes of the tag unread");
    return shape;
}

uint16_t placedCharacter(std::span<const uint8_t> body)
{
    BitReader in(body);
    const uint8_t flags = in.u8();
    in.u16(); // depth
    return (flags & 0x02) ? in.u16() : 0;
}

} // namespace tmbr::test
