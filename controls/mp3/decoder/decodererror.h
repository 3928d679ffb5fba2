#pragma once

// The one failure type of the decoder engine: a catalogue message, or a system error (errno) that
// the control reports as a status without a message.

#include "decodermessages.h"

#include <exception>
#include <optional>
#include <string>

namespace vlsmp3 {

class DecoderError : public std::exception {
public:
    explicit DecoderError(DecoderMessage id);
    static DecoderError system(int errorCode);

    // The catalogue message, when there is one.
    std::optional<DecoderMessage> id() const { return m_id; }
    // errno of a system failure; 0 for a catalogue message.
    int errorCode() const { return m_errorCode; }
    // UTF-8.
    const std::string& message() const { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    DecoderError() = default;

    std::optional<DecoderMessage> m_id;
    int m_errorCode = 0;
    std::string m_message;
};

} // namespace vlsmp3
