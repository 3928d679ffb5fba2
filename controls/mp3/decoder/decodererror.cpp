#include "decodererror.h"

#include <cstring>

namespace vlsmp3 {

DecoderError::DecoderError(DecoderMessage id)
    : m_id(id)
    , m_message(decoderMessageText(id))
{
}

DecoderError DecoderError::system(int errorCode)
{
    DecoderError error;
    error.m_errorCode = errorCode;
    error.m_message = std::strerror(errorCode);
    return error;
}

} // namespace vlsmp3
