#pragma once

#include <string>

namespace tmbr::gui {

// Makes the local test pages reachable from a browser. Browsers refuse to let
// a file:// page read the files beside it, so the scratch folder is served
// over HTTP instead.
class ITestPageServer {
public:
    virtual ~ITestPageServer() = default;

    // Serves `scratch` (and, for the absolute track paths of the local test
    // settings, `output`; may be empty) from now on, replacing the folders of
    // an earlier call. Both are local folders ending with "/". Returns the
    // address under which the scratch folder's files are found (ending with
    // "/"), or empty text when no server can run.
    virtual std::string serve(const std::string& scratch, const std::string& output) = 0;
};

} // namespace tmbr::gui
