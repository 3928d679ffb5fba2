#include "rearrangeeditor.h"

#include "messages.h"

#include <utility>

namespace tmbr::gui {

RearrangeEditor::RearrangeEditor(Playlist playlist)
    : m_playlist(std::move(playlist))
{
    // Keeps the two lists aligned even if a caller hands over uneven ones.
    m_playlist.displayNames.resize(m_playlist.files.size());
    if (!m_playlist.files.empty())
        select(0);
}

void RearrangeEditor::select(std::size_t index)
{
    if (index >= size()) {
        m_selected.reset();
        return;
    }
    m_selected = index;
    m_editText = m_playlist.displayNames[index];
}

void RearrangeEditor::moveUp()
{
    if (!m_selected || *m_selected == 0)
        return;
    const std::size_t i = *m_selected;
    std::swap(m_playlist.files[i], m_playlist.files[i - 1]);
    std::swap(m_playlist.displayNames[i], m_playlist.displayNames[i - 1]);
    select(i - 1);
}

void RearrangeEditor::moveDown()
{
    if (!m_selected || *m_selected + 1 >= size())
        return;
    const std::size_t i = *m_selected;
    std::swap(m_playlist.files[i], m_playlist.files[i + 1]);
    std::swap(m_playlist.displayNames[i], m_playlist.displayNames[i + 1]);
    select(i + 1);
}

void RearrangeEditor::remove(IMessageBox& box)
{
    if (!confirm(box, text::kRemoveTrackQuestion))
        return;
    if (!m_selected)
        return;
    const auto at = static_cast<std::ptrdiff_t>(*m_selected);
    m_playlist.files.erase(m_playlist.files.begin() + at);
    m_playlist.displayNames.erase(m_playlist.displayNames.begin() + at);
    m_selected.reset();
}

void RearrangeEditor::update()
{
    if (m_selected)
        m_playlist.displayNames[*m_selected] = m_editText;
}

} // namespace tmbr::gui
