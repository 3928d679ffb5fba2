#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tmbr::codegen {

inline constexpr std::string_view kCrLf = "\r\n";

// The lines of a generated text, gathered one by one and then either joined
// (texts held in memory) or terminated (files).
class TextLines {
public:
    // Appends one line made of the pieces, in order.
    template <typename... Pieces> TextLines& line(const Pieces&... pieces)
    {
        std::string text;
        (text.append(std::string_view(pieces)), ...);
        m_lines.push_back(std::move(text));
        return *this;
    }

    // Lines joined by CR LF, none after the last line.
    std::string joined() const;
    // Every line ended by CR LF, the last one too.
    std::string terminated() const;

private:
    std::vector<std::string> m_lines;
};

} // namespace tmbr::codegen
