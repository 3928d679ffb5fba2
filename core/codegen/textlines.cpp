#include "textlines.h"

namespace tmbr::codegen {

std::string TextLines::joined() const
{
    std::string text;
    std::size_t size = 0;
    for (const std::string& line : m_lines)
        size += line.size() + kCrLf.size();
    text.reserve(size);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (i > 0)
            text.append(kCrLf);
        text.append(m_lines[i]);
    }
    return text;
}

std::string TextLines::terminated() const
{
    std::string text = joined();
    if (!m_lines.empty())
        text.append(kCrLf);
    return text;
}

} // namespace tmbr::codegen
