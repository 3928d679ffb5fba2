#include "swfreader.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tmbr::test;

namespace {

struct Size {
    int width = 0;
    int height = 0;
};

fs::path appDir()
{
    const char* dir = std::getenv("TMBRSA_APP_DIR");
    return dir ? fs::path(dir) : fs::path();
}

// Player names in the order the program lists them: the "*.swf" files sorted by name.
std::vector<std::string> playerNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(appDir() / folder)) {
        if (entry.is_regular_file() && entry.path().extension() == ".swf")
            names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// Characters 6 to 11 of the name select the size; other or missing codes give 68 x 22.
Size buttonSize(const std::string& name)
{
    static const std::map<std::string, Size> codes { { "type04", { 75, 25 } }, { "type07", { 125, 22 } },
        { "type08", { 222, 25 } } };
    const auto code = codes.find(name.size() >= 11 ? name.substr(5, 6) : std::string());
    return code == codes.end() ? Size { 68, 22 } : code->second;
}

// Characters 5 to 10 of the name are the width and the height, three decimal digits each.
Size jukeboxSize(const std::string& name)
{
    const std::string digits = name.size() >= 10 ? name.substr(4, 6) : std::string();
    if (digits.size() != 6
        || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    return { std::stoi(digits.substr(0, 3)), std::stoi(digits.substr(3, 3)) };
}

bool colourable(const std::string& name)
{
    return name.size() >= 4 && name.compare(name.size() - 4, 4, "leon") == 0;
}

// Checks one movie from end to end; returns what went wrong, empty when nothing did.
std::string checkPlayer(const std::vector<uint8_t>& file, Size size)
{
    try {
        const SwfMovie movie = readSwfMovie(file);
        if (movie.signature != "FWS")
            return "signature is " + movie.signature;
        if (movie.version < 6 || movie.version > 10)
            return "version " + std::to_string(movie.version);
        const SwfRect& frame = movie.frameSize;
        if (frame.xMin != 0 || frame.yMin != 0 || frame.xMax != size.width * 20
            || frame.yMax != size.height * 20)
            return "frame size " + std::to_string(frame.xMax) + " x " + std::to_string(frame.yMax) + " twips";
        if (movie.frameRate == 0 || movie.frameCount == 0)
            return "no frame rate or no frame";
        if (movie.tags.front().code != swftag::SetBackgroundColor || movie.tags.front().length != 3)
            return "the first tag is no SetBackgroundColor";
        std::vector<uint16_t> shapeIds;
        bool placed = false;
        bool shown = false;
        for (const SwfTag& tag : movie.tags) {
            const auto body = std::span(file).subspan(tag.offset, tag.length);
            if (tag.code == swftag::DefineShape) {
                const SwfShape shape = readSwfShape(body);
                if (shape.paths == 0 || shape.fillStyles == 0)
                    return "DefineShape draws nothing";
                shapeIds.push_back(shape.id);
            } else if (tag.code == swftag::PlaceObject2) {
                const uint16_t id = placedCharacter(body);
                if (std::find(shapeIds.begin(), shapeIds.end(), id) == shapeIds.end())
                    return "PlaceObject2 places character " + std::to_string(id)
                        + ", which is not defined before";
                placed = true;
            } else if (tag.code == swftag::ShowFrame) {
                shown = true;
            }
        }
        if (shapeIds.empty())
            return "no DefineShape";
        if (!placed || !shown)
            return "the shape is never placed and shown";
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace

class PlayersTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs::is_directory(appDir())) << "TMBRSA_APP_DIR is not a folder"; }
};

// Every staged player is a well-formed uncompressed movie whose stage has the size its name gives.
TEST_F(PlayersTest, EveryPlayerIsAWellFormedMovieOfItsNamedSize)
{
    for (const std::string& name : playerNames("buttonplayers"))
        EXPECT_EQ(checkPlayer(readFile(appDir() / "buttonplayers" / (name + ".swf")), buttonSize(name)), "")
            << name;
    for (const std::string& name : playerNames("jukeboxplayers")) {
        const Size size = jukeboxSize(name);
        EXPECT_GT(size.width, 0) << name << " carries no size";
        EXPECT_EQ(checkPlayer(readFile(appDir() / "jukeboxplayers" / (name + ".swf")), size), "") << name;
    }
}

// The button list offers the three size codes, the default size and colourable players.
TEST_F(PlayersTest, ButtonPlayersCoverEverySizeAndColour)
{
    const auto names = playerNames("buttonplayers");
    EXPECT_GE(names.size(), 6u);
    std::map<std::string, int> codes;
    for (const auto& name : names)
        ++codes[name.size() >= 11 ? name.substr(5, 6) : "default"];
    for (const char* code : { "type04", "type07", "type08" })
        EXPECT_GE(codes[code], 1) << code;
    EXPECT_TRUE(
        std::any_of(names.begin(), names.end(), [](const auto& n) { return buttonSize(n).width == 68; }));
    EXPECT_GE(std::count_if(names.begin(), names.end(), colourable), 2);
}

// The jukebox list offers at least three players, one of them colourable.
TEST_F(PlayersTest, JukeboxPlayersIncludeAColourableOne)
{
    const auto names = playerNames("jukeboxplayers");
    EXPECT_GE(names.size(), 3u);
    EXPECT_GE(std::count_if(names.begin(), names.end(), colourable), 1);
}

// The checker itself rejects the faults it exists to catch.
TEST_F(PlayersTest, CheckerRejectsDamagedMovies)
{
    const auto file = readFile(appDir() / "buttonplayers" / "tmbr_type04_classic.swf");
    ASSERT_EQ(checkPlayer(file, { 75, 25 }), "");
    EXPECT_EQ(checkPlayer(file, { 125, 22 }), "frame size 1500 x 500 twips");

    auto truncated = file;
    truncated.pop_back();
    EXPECT_EQ(checkPlayer(truncated, { 75, 25 }), "length field 120 differs from the file size 119");
    truncated[4] = static_cast<uint8_t>(truncated.size());
    EXPECT_EQ(checkPlayer(truncated, { 75, 25 }), "tag stream ends without an End tag");

    auto compressed = file;
    compressed[0] = 'C';
    EXPECT_EQ(checkPlayer(compressed, { 75, 25 }), "signature is CWS");

    // Cutting the shape tag short by one byte makes its records overrun the tag.
    const SwfMovie movie = readSwfMovie(file);
    const SwfTag shape = movie.tags.at(1);
    ASSERT_EQ(shape.code, swftag::DefineShape);
    std::vector<uint8_t> body(file.begin() + shape.offset, file.begin() + shape.offset + shape.length - 1);
    EXPECT_THROW(readSwfShape(body), std::runtime_error);
}
