#pragma once

// The texts, titles and captions the windows show, byte for byte.
namespace tmbr::gui::text {

inline constexpr const char* kTitleError = "Error";
inline constexpr const char* kTitleWarning = "Warning";
inline constexpr const char* kTitleConfirm = "Confirm";
inline constexpr const char* kTitleMessage = " Message";

inline constexpr const char* kAlreadyOpen = "THIS SOFTWARE IS ALREADY OPEN!";
inline constexpr const char* kMp3InUse
    = "THE MP3 FILE IS IN USE BY A PREVIOUS SESSION. CHECK ALL BROWSER WINDOWS!";
inline constexpr const char* kExitQuestion = "EXIT TAMBREL STREAMING AUDIO?";
inline constexpr const char* kAtLeastTwoFiles = "YOU NEED TO CHOOSE AT LEAST TWO MP3 AUDIO FILES.";
inline constexpr const char* kNothingToRearrange = "NOTHING TO RE-ARRANGE!";
inline constexpr const char* kGrabbedCode = "GRABBED CODE! YOU MAY PASTE IT NOW ON YOUR HTML EDITOR.";
inline constexpr const char* kSavedAsPrefix = "CODE AND INSTRUCTIONS SAVED AS ";
inline constexpr const char* kRemoveTrackQuestion = "REMOVE THE SELECTED TRACK?";
inline constexpr const char* kNoBrowserPrefix
    = "THE BROWSER COULD NOT BE OPENED. OPEN THIS ADDRESS IN YOUR BROWSER: ";

inline constexpr const char* kSelectOutputFolder = "Select Your Output Folder:";
inline constexpr const char* kOpenMp3File = "Open Mp3 File";
inline constexpr const char* kOpenMp3Files = "Open Mp3 Files";
inline constexpr const char* kMp3Filter = "Mp3 Files";
inline constexpr const char* kMp3Pattern = "*.mp3";
inline constexpr const char* kSaveAsTextFile = "Save as Text File";
inline constexpr const char* kTextFilter = "Text Files";
inline constexpr const char* kTextPattern = "*.txt";

inline constexpr const char* kMainTitle = "Tambrel Streaming Audio Ver 7. Do not hesitate to contact support "
                                          "from Help menu in case of any query.";

// The help page of the application folder.
inline constexpr const char* kHelpPage = "tmbr_sa.html";

} // namespace tmbr::gui::text
