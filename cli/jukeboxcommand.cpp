#include "codegen/characters.h"
#include "codegen/fileoperations.h"
#include "codegen/generators.h"
#include "command.h"
#include "generatorarguments.h"

#include <cstdio>
#include <filesystem>

namespace tmbr::cli {

namespace {

const char* const kJukeboxHelp
    = "Usage: tmbr jukebox --player NAME --out DIR [OPTIONS] FILE...\n"
      "\n"
      "Generates a multitrack jukebox for two or more MP3 files of one folder, as \"Generate\n"
      "Multitrack Jukebox\" does: settings_as.xml, the online test page, the player script\n"
      "(js1, js2), copies of the MP3 files, the player and swfobject.js (js1) in DIR, and the\n"
      "local test page with its settings in the scratch folder. The playlist follows the order\n"
      "of the FILEs. Prints the page code, three empty lines and the upload instructions\n"
      "(CR LF line ends).\n"
      "\n"
      "Options:\n"
      "  --player NAME        jukebox player: a .swf of the application folder's\n"
      "                       jukeboxplayers/, without the extension (required)\n"
      "  --out DIR            existing output folder that receives the files to upload\n"
      "  --player-path TEXT   web folder of the player and settings_as.xml, such as /jukebox/;\n"
      "                       also sets the MP3 path, as typing into the player path box does\n"
      "  --mp3-path TEXT      web folder of the MP3 files (applied after --player-path);\n"
      "                       blanks around it stay in the track addresses\n"
      "  --code-type TYPE     js1 (SWFObject script, default), js2 (document.write script)\n"
      "                       or embed (plain object/embed markup)\n"
      "  --colour 0xRRGGBB    player colour, written for players whose name contains \"leon\"\n"
      "                       (default 0xFFCC00)\n"
      "  --auto-play          play the first track when the page has loaded\n"
      "  --no-auto-progress   do not go on to the next track automatically\n"
      "  --random             play the tracks in random order\n"
      "  --volume TEXT        initial volume in percent, written as given (default 50)\n"
      "  --bold               bold playlist font\n"
      "  --display NAME       display name of a track: the n-th --display names the n-th FILE\n"
      "                       (default: the file name without its last four characters)\n"
      "  -h, --help           show this help\n"
      "\n"
      "Exit status: 0 generated; 1 a file operation failed (files written before stay);\n"
      "2 bad arguments or input refused (nothing written).\n"
      "Folders: TMBRSA_APP_DIR overrides the application folder; the scratch folder is\n"
      "$XDG_CACHE_HOME/tmbrsa/temp/.\n";

} // namespace

int runJukeboxCommand(const std::vector<std::string>& args)
{
    Options options("tmbr jukebox");
    using Kind = Options::Kind;
    options.add("--player", Kind::Value)
        .add("--out", Kind::Value)
        .add("--player-path", Kind::Value)
        .add("--mp3-path", Kind::Value)
        .add("--code-type", Kind::Value)
        .add("--colour", Kind::Value)
        .add("--auto-play", Kind::Flag)
        .add("--no-auto-progress", Kind::Flag)
        .add("--random", Kind::Flag)
        .add("--volume", Kind::Value)
        .add("--bold", Kind::Flag)
        .add("--display", Kind::Repeated)
        .allowPositionals();
    options.parse(args);
    if (options.helpRequested()) {
        std::fputs(kJukeboxHelp, stdout);
        return kExitSuccess;
    }

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
            throw options.error("the MP3 files must lie in one folder (" + folder + " and " + parent + ")");
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

} // namespace tmbr::cli
