#pragma once

// A strict reader of the uncompressed SWF movies the application folder ships. It knows the few
// tags the players use and throws std::runtime_error, naming the fault, on anything it cannot
// account for: a wrong length field, a record running past its tag, a path that does not close.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tmbr::test {

struct SwfRect {
    int32_t xMin = 0;
    int32_t xMax = 0;
    int32_t yMin = 0;
    int32_t yMax = 0;
};

struct SwfTag {
    uint16_t code = 0;
    size_t offset = 0; // of the tag body in the file
    size_t length = 0;
};

struct SwfMovie {
    std::string signature;
    uint8_t version = 0;
    uint32_t fileLength = 0;
    SwfRect frameSize; // twips
    uint16_t frameRate = 0; // 8.8 fixed point, frames per second
    uint16_t frameCount = 0;
    std::vector<SwfTag> tags; // in file order, the End tag last
};

struct SwfShape {
    uint16_t id = 0;
    SwfRect bounds;
    size_t fillStyles = 0;
    size_t lineStyles = 0;
    size_t paths = 0; // closed outlines
    size_t edges = 0;
};

namespace swftag {
inline constexpr uint16_t End = 0;
inline constexpr uint16_t ShowFrame = 1;
inline constexpr uint16_t DefineShape = 2;
inline constexpr uint16_t SetBackgroundColor = 9;
inline constexpr uint16_t PlaceObject2 = 26;
} // namespace swftag

// Parses the header and the tag stream; the End tag must close the file exactly.
SwfMovie readSwfMovie(std::span<const uint8_t> file);

// Walks a DefineShape body: styles, then every shape record up to the end record, which must
// close the body. Every outline must return to its start and stay inside the bounds.
SwfShape readSwfShape(std::span<const uint8_t> body);

// The character id that a PlaceObject2 body places, or 0 when it places none.
uint16_t placedCharacter(std::span<const uint8_t> body);

} // namespace tmbr::test
