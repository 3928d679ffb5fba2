#pragma once

#include "codetype.h"

#include <string>
#include <vector>

namespace tmbr::codegen {

// The main-window state that the generators read afresh on every run. Each
// field is the value of one control of the main window (named beside it).
// Local folders end with "/", server paths are kept exactly as typed.
// Text is UTF-8.
struct GeneratorSettings {
    CodeType codeType = CodeType::JavaScriptMethod1; // mnuSelect

    // Single button tab
    std::string singlePlayer; // lstSingle, selected text
    std::string serverPathSingle; // txtServerPathSingle
    std::string mp3Name; // lblMp3Name
    std::string mp3Path; // lblMp3Path
    std::string singleLocalPath; // lblSingleLocalPath, ends with "/"
    std::string singleOutDir; // lblSingleOutDir, ends with "/"
    std::string playerColorSingle = "0xFFCC00"; // lblPlayerColorSingle
    bool singleLoop = false; // chkSingleLoop
    bool singleAuto = false; // chkSingleAuto
    bool encryptSingle = false; // chkEncryptSingle

    // Multitrack jukebox tab
    std::string multiPlayer; // lstMulti, selected text
    std::vector<std::string> mp3Files; // lstMp3Files
    std::vector<std::string> mp3FileDisplayNames; // lstMp3FileDisplayNames, index-aligned
    std::string multiLocalPath; // lblMultiLocalPath, ends with "/"
    std::string serverPathMultiMp3; // txtServerPathMultiMp3
    std::string serverPathMultiPlayer; // txtServerPathMultiPlayer
    std::string multiOutDir; // lblMultiOutDir, ends with "/"
    std::string playerColorMulti = "0xFFCC00"; // lblPlayerColorMulti
    bool multiAutoPlay = false; // chkMultiAutoPlay
    bool multiAutoProgress = true; // chkMultiAutoProgress (start-up checks it)
    bool multiRandom = false; // chkMultiRandom
    bool playlistFontBold = false; // chkPlaylistFontBold
    std::string audioLevel = "50"; // txtAudioLevel, free text
};

// What the MP3 locator does with the chosen file: name, full path and folder
// (the path without its file name, ending with "/").
void locateSingleMp3(GeneratorSettings& settings, const std::string& fullPath);

// What "&Your HTML Folder" does with the folder browser's result: a non-empty
// folder replaces the output folder; a non-empty output folder then ends with "/".
void chooseSingleOutputFolder(GeneratorSettings& settings, const std::string& folder);
void chooseJukeboxOutputFolder(GeneratorSettings& settings, const std::string& folder);

// Typing into txtServerPathMultiPlayer: the whole text is copied into
// txtServerPathMultiMp3 as well. Typing into the MP3 path touches nothing else.
void setServerPathMultiPlayer(GeneratorSettings& settings, const std::string& text);

// What the multi-file dialog does with its result (a folder and the chosen
// names in dialog order). Fewer than two names leave the playlist unchanged
// and return false (the caller shows "YOU NEED TO CHOOSE AT LEAST TWO MP3
// AUDIO FILES."); otherwise the playlist is replaced, each display name being
// the file name without its last four characters, and true is returned.
bool chooseJukeboxFiles(
    GeneratorSettings& settings, const std::string& folder, const std::vector<std::string>& names);

} // namespace tmbr::codegen
