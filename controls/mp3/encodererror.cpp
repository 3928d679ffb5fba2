#include "encodererror.h"

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

} // namespace vlsmp3
