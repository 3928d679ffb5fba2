#pragma once

#include <string>
#include <vector>

namespace tmbr::gui {

enum class FileDialogMode {
    OpenOne, // one existing file
    OpenMany, // several existing files of one folder
    Save, // a file name; asks before replacing an existing file
};

struct FileFilter {
    std::string name; // "Mp3 Files"
    std::string pattern; // "*.mp3"
    bool operator==(const FileFilter&) const = default;
};

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::OpenOne;
    std::string title;
    std::string filterName; // "Mp3 Files"
    std::string pattern; // "*.mp3"
    // When not empty: the filters offered, the first one selected, in place of
    // filterName and pattern.
    std::vector<FileFilter> filters;
};

// The open and save dialogs of the desktop.
class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // Full paths of the chosen files in dialog order; empty when the user cancels.
    // A save dialog whose pattern is "*.ext" adds ".ext" to a name typed without
    // an extension.
    virtual std::vector<std::string> run(const FileDialogRequest& request) = 0;
};

} // namespace tmbr::gui
