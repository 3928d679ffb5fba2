#include "characters.h"
#include "fileoperations.h"
#include "generationguard.h"
#include "generators.h"
#include "jukeboxtemplates.h"
#include "playername.h"

namespace tmbr::codegen {

namespace {

std::vector<Track> playlistOf(const GeneratorSettings& settings)
{
    std::vector<Track> playlist;
    playlist.reserve(settings.mp3Files.size());
    for (std::size_t i = 0; i < settings.mp3Files.size(); ++i) {
        // The two lists are index-aligned; a missing display name falls
        // back to the default one rather than reading past the list.
        const std::string& file = settings.mp3Files[i];
        playlist.push_back({ file,
            i < settings.mp3FileDisplayNames.size() ? settings.mp3FileDisplayNames[i]
                                                    : std::string(withoutLastCharacters(file, 4)) });
    }
    return playlist;
}

GenerationResult generate(const GeneratorSettings& settings, const AppFolders& folders, const Clock& clock)
{
    const std::string& out = settings.multiOutDir;
    const std::string& temp = folders.scratch;
    const CodeType type = settings.codeType;

    JukeboxOptions options;
    options.autoPlay = settings.multiAutoPlay;
    options.autoProgress = settings.multiAutoProgress;
    options.random = settings.multiRandom;
    options.volume = settings.audioLevel;
    options.bold = settings.playlistFontBold;
    const bool withColour = mentionsColour(settings.multiPlayer);
    const std::vector<Track> playlist = playlistOf(settings);

    ensureFolder(temp);
    writeFile(temp + "settings_as.xml",
        jukeboxSettings(
            options, withColour, settings.playerColorMulti, playlist, out, UrlPrefixKind::LocalFolder));
    writeFile(out + "settings_as.xml",
        jukeboxSettings(options, withColour, settings.playerColorMulti, playlist, settings.serverPathMultiMp3,
            UrlPrefixKind::ServerPath));

    JukeboxValues values;
    values.playerFile = settings.multiPlayer + ".swf";
    values.playerPath = std::string(trimmedBlanks(settings.serverPathMultiPlayer));
    const PlayerSize size = jukeboxPlayerSize(settings.multiPlayer);
    values.width = size.width;
    values.height = size.height;
    values.outputFolder = out;
    values.mp3PathTrimmed = std::string(trimmedBlanks(settings.serverPathMultiMp3));

    values.id = PlayerId(clock);
    writeFile(temp + "do-not-upload.html", jukeboxLocalTestPage(values));

    if (writesScriptFile(type)) {
        values.id = PlayerId(clock);
        deleteMatching(out, "tmbrmjb*.js");
        writeFile(out + "tmbrmjb" + values.id + ".js", jukeboxScriptFile(type, values));
    }
    const std::string pageCode = jukeboxPageCode(type, values);
    writeFile(out + "onlinetest-jukebox.html", jukeboxOnlineTestPage(pageCode));

    if (settings.multiLocalPath != out) {
        for (const std::string& file : settings.mp3Files)
            copyFile(settings.multiLocalPath + file, out + file);
    }
    const std::string player = folders.app + "jukeboxplayers/" + values.playerFile;
    copyFile(player, out + values.playerFile);
    copyFile(player, temp + values.playerFile);
    if (type == CodeType::JavaScriptMethod1) {
        copyFile(folders.app + "swfobject.js", out + "swfobject.js");
        copyFile(folders.app + "swfobject.js", temp + "swfobject.js");
    }

    GenerationResult result;
    result.code = pageCode;
    result.instructions = jukeboxInstructions(type, values, settings.mp3Files);
    return result;
}

} // namespace

GenerationResult generateJukebox(GeneratorSettings& settings, const AppFolders& folders, const Clock& clock)
{
    if (settings.mp3Files.empty())
        return invalidInput("PLEASE SELECT YOUR AUDIO MP3 FILES", FollowUp::OpenJukeboxFileSelection);
    if (!trimmedBlanks(settings.serverPathMultiPlayer).empty()
        && settings.serverPathMultiPlayer.back() != '/')
        setServerPathMultiPlayer(settings, settings.serverPathMultiPlayer + "/");
    if (!trimmedBlanks(settings.serverPathMultiMp3).empty() && settings.serverPathMultiMp3.back() != '/')
        settings.serverPathMultiMp3 += '/';
    if (settings.multiOutDir.empty())
        return invalidInput("OUTPUT FOLDER NAME CAN'T BE EMPTY!", FollowUp::FocusJukeboxOutputButton);

    return guardedGeneration([&] { return generate(settings, folders, clock); });
}

void writeJukeboxPreviewSettings(const AppFolders& folders, const std::string& colour)
{
    try {
        writeFile(folders.app + "jukeboxplayers/settings_as.xml", jukeboxPreviewSettings(colour));
    } catch (const std::exception&) {
        // The application folder is usually read-only; the preview then keeps
        // its previous settings.
    }
}

} // namespace tmbr::codegen
