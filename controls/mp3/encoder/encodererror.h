#pragma once

// The one failure type of the encoder engine: a catalogue message, formatted.

#include "encodermessages.h"

#include <exception>
#include <string>

namespace vlsmp3 {

class EncoderError : public std::exception {
public:
    explicit EncoderError(EncoderMessage id);
    // A message whose "%s" takes the system's text for errorCode (errno).
    EncoderError(EncoderMessage id, int errorCode);
    // A message formatted already (as the encoding thread reports it).
    EncoderError(EncoderMessage id, std::string formatted);

    EncoderMessage id() const { return m_id; }
    // UTF-8.
    const std::string& message() const { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    EncoderMessage m_id;
    std::string m_message;
};

} // namespace vlsmp3
