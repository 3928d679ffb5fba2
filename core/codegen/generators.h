#pragma once

#include "generatorsettings.h"
#include "playerid.h"

#include <functional>
#include <string>

namespace tmbr::codegen {

// Where a run reads and writes: the application folder (players, swfobject.js)
// and the per-user scratch folder of the local test pages. Both end with "/".
struct AppFolders {
    std::string app;
    std::string scratch;
};

enum class GenerationStatus {
    Generated, // code and instructions are ready for the code window
    Invalid, // a validation message; nothing was written
    Failed, // the standard error box text; files written before stay
};

// What the window does after a validation message.
enum class FollowUp { None, FocusSingleOutputButton, FocusJukeboxOutputButton, OpenJukeboxFileSelection };

struct GenerationResult {
    GenerationStatus status = GenerationStatus::Generated;
    std::string code; // shown in the code window (encoded when "Encrypt HTML" is set)
    std::string instructions; // upload instructions
    std::string message; // validation message or standard error box text
    FollowUp followUp = FollowUp::None;
};

// "Generate &Single Button Control": validates in the stated order (may append
// "/" to serverPathSingle), then writes and copies every file. `yield` is
// handed to EncodePageCode.
GenerationResult generateSingleButton(GeneratorSettings& settings, const AppFolders& folders,
    const Clock& clock, const std::function<void()>& yield = {});

// "Generate Multitrack &Jukebox": validates in the stated order (may append
// "/" to both server paths, the player path being copied into the MP3 path),
// then writes and copies every file.
GenerationResult generateJukebox(GeneratorSettings& settings, const AppFolders& folders, const Clock& clock);

// The preview copy of "settings_as.xml" in the jukeboxplayers folder of the
// application folder; a failure to write it is ignored.
void writeJukeboxPreviewSettings(const AppFolders& folders, const std::string& colour);

// What "&Save Code and Instructions as File" writes: the code, CR LF, three
// CR LF, the instructions, CR LF.
std::string savedCodeText(const std::string& code, const std::string& instructions);

} // namespace tmbr::codegen
