#pragma once

#include "codegen/generators.h"
#include "platform/itestpageserver.h"
#include "platform/platform.h"

#include <string>

namespace tmbr::gui {

// The actions of the generated code window (frmGrabCode): it holds the code
// and the instructions of one generator run and nothing else.
class CodeWindowLogic {
public:
    // `outputFolder`: the output folder of the run (ending with "/"), whose
    // files the jukebox's local test settings name by local path. `server`
    // (may be null) serves the test page; it outlives the logic.
    CodeWindowLogic(std::string code, std::string instructions, codegen::AppFolders folders,
        Platform& platform, std::string outputFolder = {}, ITestPageServer* server = nullptr);

    // "&Grab Code to Clipboard": the whole code onto the clipboard, then the
    // "GRABBED CODE!" message.
    void cmdGrabCodeClick();

    // "&Test in Browser (Offline)": opens the scratch folder's local test page
    // in the default browser, through the test page server so that the page
    // may read the files beside it; as a local file when no server can run.
    // When no browser can be started, a warning gives the page's address.
    void cmdTestClick();

    // "&Save Code and Instructions as File": asks for a file name (the dialog
    // asks before replacing a file), writes the saved-code text and reports
    // "CODE AND INSTRUCTIONS SAVED AS <file>". Cancel writes nothing. A file
    // that cannot be written ends the operation without a message, leaving
    // any earlier file of that name as it was (see replaceFileContent).
    void cmdSaveCodeInstClick();

private:
    std::string m_code;
    std::string m_instructions;
    codegen::AppFolders m_folders;
    Platform& m_platform;
    std::string m_outputFolder;
    ITestPageServer* m_server;
};

// Replaces the content of the file `path` names with `content` as a whole:
// written beside that file under a temporary name, then renamed over it. A
// symbolic link is followed (the link stays, its target gets the content); a
// replaced file keeps its mode and, where the process may, its owner. False
// when anything failed; the temporary file is then gone and the file
// untouched. Where the folder does not let a file be created but the file
// itself is writable, the file is truncated and written in place instead, so
// that a failure may then leave it partly written. A folder, device or pipe
// under the name, and a file the process may not write, are never written.
bool replaceFileContent(const std::string& path, const std::string& content);

} // namespace tmbr::gui
