#include "characters.h"
#include "fileoperations.h"
#include "generationguard.h"
#include "generators.h"
#include "pagecodeencoder.h"
#include "playername.h"
#include "singletemplates.h"

namespace tmbr::codegen {

namespace {

GenerationResult generate(const GeneratorSettings& settings, const AppFolders& folders, const Clock& clock,
    const std::function<void()>& yield)
{
    const std::string& out = settings.singleOutDir;
    const std::string& temp = folders.scratch;
    const CodeType type = settings.codeType;

    SingleButtonValues values;
    values.playerFile = settings.singlePlayer + ".swf";
    values.serverPath = std::string(trimmedBlanks(settings.serverPathSingle));
    values.mp3Name = settings.mp3Name;
    values.autoPlay = settings.singleAuto;
    values.loop = settings.singleLoop;
    values.colourable = isColourable(settings.singlePlayer);
    values.colour = settings.playerColorSingle;
    const PlayerSize size = singlePlayerSize(settings.singlePlayer);
    values.width = size.width;
    values.height = size.height;
    values.outputFolder = out;

    ensureFolder(temp);
    values.id = PlayerId(clock);
    writeFile(temp + "do-not-upload.html", singleLocalTestPage(values));

    if (writesScriptFile(type)) {
        values.id = PlayerId(clock);
        deleteMatching(out, "tmbrwbc*.js");
        writeFile(out + "tmbrwbc" + values.id + ".js", singleScriptFile(type, values));
    }
    const std::string playerCode = singlePlayerCode(type, values);
    writeFile(out + "onlinetest-single-button.html", singleOnlineTestPage(playerCode));

    const std::string mp3 = settings.singleLocalPath + settings.mp3Name;
    if (settings.singleLocalPath != out)
        copyFile(mp3, out + settings.mp3Name);
    copyFile(mp3, temp + settings.mp3Name);
    const std::string player = folders.app + "buttonplayers/" + values.playerFile;
    copyFile(player, out + values.playerFile);
    copyFile(player, temp + values.playerFile);
    if (type == CodeType::JavaScriptMethod1) {
        copyFile(folders.app + "swfobject.js", out + "swfobject.js");
        copyFile(folders.app + "swfobject.js", temp + "swfobject.js");
    }

    GenerationResult result;
    result.instructions = singleInstructions(type, values);
    result.code = settings.encryptSingle ? EncodePageCode(playerCode, yield) : playerCode;
    return result;
}

} // namespace

GenerationResult generateSingleButton(GeneratorSettings& settings, const AppFolders& folders,
    const Clock& clock, const std::function<void()>& yield)
{
    if (settings.mp3Name.empty())
        return invalidInput("PLEASE SELECT YOUR AUDIO MP3 FILE!", FollowUp::None);
    if (!trimmedBlanks(settings.serverPathSingle).empty() && settings.serverPathSingle.back() != '/')
        settings.serverPathSingle += '/';
    if (settings.singleOutDir.empty())
        return invalidInput("OUTPUT FOLDER NAME CAN'T BE EMPTY!", FollowUp::FocusSingleOutputButton);

    return guardedGeneration([&] { return generate(settings, folders, clock, yield); });
}

} // namespace tmbr::codegen
