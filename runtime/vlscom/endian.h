#pragma once

// Fixed-order integers in byte buffers: little-endian (RIFF, the registry's binary values) and
// big-endian (MPEG headers, ID3v2 sizes) of 16, 24 and 32 bits. The caller guarantees that the
// bytes are there: a span must hold at + 2, 3 or 4 bytes.

#include <cstddef>
#include <cstdint>
#include <span>

namespace vlscom {

constexpr std::uint16_t readLe16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

constexpr std::uint32_t readLe24(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
}

constexpr std::uint32_t readLe32(const std::uint8_t* p)
{
    return readLe24(p) | (std::uint32_t(p[3]) << 24);
}

constexpr std::uint16_t readBe16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

constexpr std::uint32_t readBe24(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | std::uint32_t(p[2]);
}

constexpr std::uint32_t readBe32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | readBe24(p + 1);
}

constexpr std::uint16_t readLe16(std::span<const std::uint8_t> bytes, std::size_t at = 0)
{
    return readLe16(bytes.data() + at);
}

constexpr std::uint32_t readLe24(std::span<const std::uint8_t> bytes, std::size_t at = 0)
{
    return readLe24(bytes.data() + at);
}

constexpr std::uint32_t readLe32(std::span<const std::uint8_t> bytes, std::size_t at = 0)
{
    return readLe32(bytes.data() + at);
}

constexpr std::uint16_t readBe16(std::span<const std::uint8_t> bytes, std::size_t at = 0)
{
    return readBe16(bytes.data() + at);
}

constexpr std::uint32_t readBe24(std::span<const std::uint8_t> bytes, std::size_t at = 0)
{
    return readBe24(bytes.data() + at);
}

constexpr std::uint32_t readBe32(std::span<const std::uint8_t> bytes, std::size_t at = 0)
{
    return readBe32(bytes.data() + at);
}

constexpr void writeLe16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void writeLe24(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
}

constexpr void writeLe32(std::uint8_t* p, std::uint32_t value)
{
    writeLe24(p, value);
    p[3] = static_cast<std::uint8_t>(value >> 24);
}

constexpr void writeBe16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value >> 8);
    p[1] = static_cast<std::uint8_t>(value);
}

constexpr void writeBe24(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value >> 16);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value);
}

constexpr void writeBe32(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value >> 24);
    writeBe24(p + 1, value);
}

} // namespace vlscom
