#pragma once

// Fixed-order unsigned integers of 2, 3 or 4 bytes in byte buffers: little-endian (RIFF, PCM
// samples, the property stream) and big-endian (MPEG headers, ID3v2 sizes and UTF-16 text). The
// caller guarantees that the bytes are there.

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <vector>

namespace vlscom {

template <std::size_t Bytes> using FixedUint = std::conditional_t<Bytes == 2, std::uint16_t, std::uint32_t>;

template <std::size_t Bytes> constexpr FixedUint<Bytes> readLe(const std::uint8_t* p)
{
    static_assert(Bytes >= 2 && Bytes <= 4);
    std::uint32_t value = 0;
    for (std::size_t i = Bytes; i-- > 0;)
        value = (value << 8) | p[i];
    return static_cast<FixedUint<Bytes>>(value);
}

template <std::size_t Bytes> constexpr FixedUint<Bytes> readBe(const std::uint8_t* p)
{
    static_assert(Bytes >= 2 && Bytes <= 4);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < Bytes; ++i)
        value = (value << 8) | p[i];
    return static_cast<FixedUint<Bytes>>(value);
}

// The same at an index of a span that holds at + Bytes bytes.
template <std::size_t Bytes>
constexpr FixedUint<Bytes> readLe(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return readLe<Bytes>(bytes.data() + at);
}

template <std::size_t Bytes>
constexpr FixedUint<Bytes> readBe(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return readBe<Bytes>(bytes.data() + at);
}

template <std::size_t Bytes> constexpr void writeLe(std::uint8_t* p, std::uint32_t value)
{
    static_assert(Bytes >= 2 && Bytes <= 4);
    for (std::size_t i = 0; i < Bytes; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

template <std::size_t Bytes> void appendLe(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (std::size_t i = 0; i < Bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

template <std::size_t Bytes> void appendBe(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (std::size_t i = Bytes; i-- > 0;)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

constexpr std::uint16_t readLe16(const std::uint8_t* p)
{
    return readLe<2>(p);
}
constexpr std::uint32_t readLe32(const std::uint8_t* p)
{
    return readLe<4>(p);
}
constexpr std::uint32_t readBe32(const std::uint8_t* p)
{
    return readBe<4>(p);
}

} // namespace vlscom
