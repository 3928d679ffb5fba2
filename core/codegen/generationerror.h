#pragma once

#include <stdexcept>
#include <string>

namespace tmbr::codegen {

// A failure the generators do not handle themselves: a file or folder
// operation that failed. number and description are what the standard error
// box shows.
class GenerationError : public std::runtime_error {
public:
    GenerationError(int number, std::string description);
    int number() const { return m_number; }
    const std::string& description() const { return m_description; }

    // From an errno value of a failed operation on `path`: the run-time error
    // number that matches it (53 file not found, 70 permission denied,
    // 76 path not found, 61 disk full, 75 path/file access error otherwise)
    // and a description naming the path.
    static GenerationError fromErrno(int error, const std::string& path);

    // Error 76: a folder of `path` does not exist.
    static GenerationError pathNotFound(const std::string& path);

private:
    int m_number;
    std::string m_description;
};

// "INTERNAL ERROR OCCURED - ERROR NUMBER: " + number + " - " +
// DESCRIPTION IN UPPER CASE + ". PLEASE CONTACT SUPPORT."
std::string standardErrorText(int number, const std::string& description);

} // namespace tmbr::codegen
