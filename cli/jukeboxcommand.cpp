#include "codegen/characters.h"
#include "codegen/fileoperations.h"
#include "codegen/generators.h"
#include "command.h"
#include "generatorarguments.h"

#include <cstdio>
#include <filesystem>

namespace tmbr::cli {

namespace {

int runJukebox(const Options& options);

} // namespace

const CommandDeclaration kJukeboxCommand = {
    .name = "jukebox",
    .summary = "generate a multitrack jukebox for a set of MP3 files",
    .usage = "Usage: tmbr jukebox --player NAME --out DIR [OPTIONS] FILE...\n",
    .description
    = "Generates a multitrack jukebox for two or more MP3 files of one folder, as \"Generate\n"
      "Multitrack Jukebox\" does: settings_as.xml, the online test page, the player script\n"
      "(js1, js2), copies of the MP3 files, the player and swfobject.js (js1) in DIR, and the\n"
      "local test page with its settings in the scratch folder. The playlist follows the order\n"
      "of the FILEs. Prints the page code, three empty lines and the upload instructions\n"
      "(CR LF line ends).\n",
    .options = {
        value("--player NAME", "jukebox player: a .swf of the application folder's\n"
                    "jukeboxplayers/, without the extension (required)"),
        value("--out DIR", "existing output folder that receives the files to upload"),
        value("--player-path TEXT", "web folder of the player and settings_as.xml, such as /jukebox/;\n"
                    "also sets the MP3 path, as typing into the player path box does"),
        value("--mp3-path TEXT", "web folder of the MP3 files (applied after --player-path);\n"
                    "blanks around it stay in the track addresses"),
        codeTypeOption(),
        value("--colour 0xRRGGBB", "player colour, written for players whose name contains \"leon\"\n"
                    "(default 0xFFCC00)"),
        flag("--auto-play", "play the first track when the page has loaded"),
        flag("--no-auto-progress", "do not go on to the next track automatically"),
        flag("--random", "play the tracks in random order"),
        value("--volume TEXT", "initial volume in percent, written as given (default 50)"),
        flag("--bold", "bold playlist font"),
        repeated("--display NAME", "display name of a track: the n-th --display names the n-th FILE\n"
                    "(default: the file name without its last four characters)"),
    },
    .positionals = true,
    .helpColumn = 23,
    .listsHelpOption = true,
    .notes = kGeneratorNotes,
    .run = runJukebox,
};

namespace {

int runJukebox(const Options& options)
{
    codegen::GeneratorSettings settings;
    if (options.has("--code-type"))
        settings.codeType = parseCodeType(options, options.value("--code-type"));
    if (options.has("--colour"))
        settings.playerColorMulti = parseColour(options, options.value("--colour"));
    if (options.has("--volume"))
        settings.audioLevel = options.value("--volume");
    settings.multiAutoPlay = options.has("--auto-play");
    settings.multiAutoProgress = !options.has("--no-auto-progress");
    settings.multiRandom = options.has("--random");
    settings.playlistFontBold = options.has("--bold");

    const std::vector<std::string>& files = options.positionals();
    const std::vector<std::string> displays = options.values("--display");
    if (displays.size() > files.size())
        throw options.error(std::to_string(displays.size()) + " --display names for "
            + std::to_string(files.size()) + " files");

    if (!options.has("--player"))
        throw options.error("--player is required");
    const codegen::AppFolders folders = applicationFolders();
    settings.multiPlayer = options.value("--player");
    requirePlayer(options, folders.app + "jukeboxplayers/", settings.multiPlayer);

    // The file dialog's result: one folder and the names chosen in it.
    std::string folder;
    std::vector<std::string> names;
    for (const std::string& file : files) {
        const std::filesystem::path path = absolutePath(file);
        if (!codegen::isRegularFile(path.string()))
            throw options.error("no such file: " + file);
        const std::string parent = path.parent_path().string();
        if (!names.empty() && parent != folder)
            throw options.error(std::string("the MP3 files must lie in one folder (")
                                    .append(folder)
                                    .append(" and ")
                                    .append(parent)
                                    .append(")"));
        folder = parent;
        names.push_back(path.filename().string());
    }
    if (names.size() == 1) {
        std::fputs("YOU NEED TO CHOOSE AT LEAST TWO MP3 AUDIO FILES.\n", stderr);
        return kExitUsage;
    }
    if (!names.empty())
        codegen::chooseJukeboxFiles(settings, folder, names);
    for (std::size_t i = 0; i < displays.size(); ++i)
        settings.mp3FileDisplayNames[i] = displays[i];

    if (options.has("--player-path")) {
        // Generation appends the missing "/" through the player path's copy rule, which would
        // overwrite --mp3-path; appending it here first keeps the copy before --mp3-path.
        std::string playerPath = options.value("--player-path");
        if (!codegen::trimmedBlanks(playerPath).empty() && playerPath.back() != '/')
            playerPath += '/';
        codegen::setServerPathMultiPlayer(settings, playerPath);
    }
    if (options.has("--mp3-path"))
        settings.serverPathMultiMp3 = options.value("--mp3-path");
    // An empty value is a cancelled folder browser: the field keeps its value.
    if (!options.value("--out").empty()) {
        const std::string out = absolutePath(options.value("--out"));
        if (!codegen::isFolder(out))
            throw options.error("--out: no such folder: " + options.value("--out"));
        codegen::chooseJukeboxOutputFolder(settings, out);
    }

    return reportGeneration(codegen::generateJukebox(settings, folders, codegen::systemClock()));
}

} // namespace

} // namespace tmbr::cli
