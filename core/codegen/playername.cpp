#include "playername.h"

#include "characters.h"

namespace tmbr::codegen {

bool isColourable(const std::string& playerName)
{
    static constexpr std::string_view kLeon = "leon";
    return playerName.size() >= kLeon.size()
        && playerName.compare(playerName.size() - kLeon.size(), kLeon.size(), kLeon.data(), kLeon.size())
        == 0;
}

bool mentionsColour(const std::string& playerName)
{
    return playerName.find("leon") != std::string::npos;
}

PlayerSize singlePlayerSize(const std::string& playerName)
{
    const std::string_view code = characters(playerName, 5, 6);
    if (code == "type04")
        return { "75", "25" };
    if (code == "type07")
        return { "125", "22" };
    if (code == "type08")
        return { "222", "25" };
    return { "68", "22" };
}

PlayerSize jukeboxPlayerSize(const std::string& playerName)
{
    return { std::string(characters(playerName, 4, 3)), std::string(characters(playerName, 7, 3)) };
}

} // namespace tmbr::codegen
