#pragma once

// A failed system call of the I/O classes (opening or reading a file, creating a pipe), with its
// errno. The encoder and the decoder each turn it into their own failure type.

#include <cstring>
#include <exception>
#include <string>

namespace vlsmp3 {

class IoError : public std::exception {
public:
    explicit IoError(int errorCode)
        : m_errorCode(errorCode)
        , m_message(std::strerror(errorCode))
    {
    }

    // errno of the failure.
    int errorCode() const { return m_errorCode; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    int m_errorCode;
    std::string m_message;
};

} // namespace vlsmp3
