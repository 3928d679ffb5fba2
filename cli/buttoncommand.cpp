#include "codegen/fileoperations.h"
#include "codegen/generators.h"
#include "command.h"
#include "generatorarguments.h"

namespace tmbr::cli {

namespace {

int runButton(const Options& options);

} // namespace

const CommandDeclaration kButtonCommand = {
    .name = "button",
    .summary = "generate a single play button for one MP3 file",
    .usage = "Usage: tmbr button --player NAME --mp3 FILE --out DIR [OPTIONS]\n",
    .description
    = "Generates a single play button for one MP3 file, as \"Generate Single Button Control\"\n"
      "does: the online test page, the player script (js1, js2), copies of the player, the MP3\n"
      "and swfobject.js (js1) in DIR, and the local test page in the scratch folder. Prints the\n"
      "player code, three empty lines and the upload instructions (CR LF line ends).\n",
    .options = {
        value("--player NAME", "single-button player: a .swf of the application folder's\n"
                    "buttonplayers/, without the extension (required)"),
        value("--mp3 FILE", "the MP3 file to play"),
        value("--out DIR", "existing output folder that receives the files to upload"),
        value("--server-path TEXT", "web folder where the MP3 and player will live, such as /audio/\n"
                    "or a full address; empty: the page's own folder"),
        codeTypeOption(),
        value("--colour 0xRRGGBB", "player colour for colourable players (default 0xFFCC00)"),
        flag("--loop", "loop the track forever"),
        flag("--auto-play", "start playing when the page has loaded"),
        flag("--encrypt", "print the code encoded (\"Encrypt HTML\"); the online test\n"
                    "page keeps the plain code"),
    },
    .positionals = false,
    .helpColumn = 23,
    .listsHelpOption = true,
    .notes = kGeneratorNotes,
    .run = runButton,
};

namespace {

int runButton(const Options& options)
{
    codegen::GeneratorSettings settings;
    if (options.has("--code-type"))
        settings.codeType = parseCodeType(options, options.value("--code-type"));
    if (options.has("--colour"))
        settings.playerColorSingle = parseColour(options, options.value("--colour"));
    settings.singleLoop = options.has("--loop");
    settings.singleAuto = options.has("--auto-play");
    settings.encryptSingle = options.has("--encrypt");
    settings.serverPathSingle = options.value("--server-path");

    if (!options.has("--player"))
        throw options.error("--player is required");
    const codegen::AppFolders folders = applicationFolders();
    settings.singlePlayer = options.value("--player");
    requirePlayer(options, folders.app + "buttonplayers/", settings.singlePlayer);

    // An empty value is a cancelled dialog: the field keeps its value.
    if (!options.value("--mp3").empty()) {
        const std::string mp3 = absolutePath(options.value("--mp3"));
        if (!codegen::isRegularFile(mp3))
            throw options.error("--mp3: no such file: " + options.value("--mp3"));
        codegen::locateSingleMp3(settings, mp3);
    }
    if (!options.value("--out").empty()) {
        const std::string out = absolutePath(options.value("--out"));
        if (!codegen::isFolder(out))
            throw options.error("--out: no such folder: " + options.value("--out"));
        codegen::chooseSingleOutputFolder(settings, out);
    }

    return reportGeneration(codegen::generateSingleButton(settings, folders, codegen::systemClock()));
}

} // namespace

} // namespace tmbr::cli
