#include "generatorsettings.h"

#include "characters.h"

namespace tmbr::codegen {

namespace {

void chooseOutputFolder(std::string& outDir, const std::string& folder)
{
    if (!folder.empty())
        outDir = folder;
    if (!outDir.empty() && outDir.back() != '/')
        outDir += '/';
}

} // namespace

void locateSingleMp3(GeneratorSettings& settings, const std::string& fullPath)
{
    const auto slash = fullPath.find_last_of('/');
    settings.mp3Name = slash == std::string::npos ? fullPath : fullPath.substr(slash + 1);
    settings.mp3Path = fullPath;
    settings.singleLocalPath = fullPath.substr(0, fullPath.size() - settings.mp3Name.size());
}

void chooseSingleOutputFolder(GeneratorSettings& settings, const std::string& folder)
{
    chooseOutputFolder(settings.singleOutDir, folder);
}

void chooseJukeboxOutputFolder(GeneratorSettings& settings, const std::string& folder)
{
    chooseOutputFolder(settings.multiOutDir, folder);
}

void setServerPathMultiPlayer(GeneratorSettings& settings, const std::string& text)
{
    settings.serverPathMultiPlayer = text;
    settings.serverPathMultiMp3 = text;
}

bool chooseJukeboxFiles(
    GeneratorSettings& settings, const std::string& folder, const std::vector<std::string>& names)
{
    if (names.size() < 2)
        return false;
    settings.mp3Files.clear();
    settings.mp3FileDisplayNames.clear();
    settings.multiLocalPath = folder;
    if (!folder.empty() && folder.back() != '/')
        settings.multiLocalPath += '/';
    for (const std::string& name : names) {
        settings.mp3Files.push_back(name);
        settings.mp3FileDisplayNames.emplace_back(withoutLastCharacters(name, 4));
    }
    return true;
}

} // namespace tmbr::codegen
