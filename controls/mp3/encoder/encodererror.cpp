#include "encodererror.h"

#include <utility>

namespace vlsmp3 {

EncoderError::EncoderError(EncoderMessage id)
    : m_id(id)
    , m_message(messageText(id))
{
}

EncoderError::EncoderError(EncoderMessage id, int errorCode)
    : m_id(id)
    , m_message(formatMessage(id, errorCode))
{
}

EncoderError::EncoderError(EncoderMessage id, std::string formatted)
    : m_id(id)
    , m_message(std::move(formatted))
{
}

} // namespace vlsmp3
