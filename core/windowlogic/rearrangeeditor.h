#pragma once

#include "playlist.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tmbr::gui {

class IMessageBox;

// The working copy that the re-arrange dialog edits: the playlist, the current
// position (the same entry in both lists, or none) and the edit text. The
// main window's playlist changes only through result() after "&Done".
class RearrangeEditor {
public:
    // Copies the playlist in and selects the first entry (when there is one).
    explicit RearrangeEditor(Playlist playlist);

    const Playlist& playlist() const { return m_playlist; }
    std::size_t size() const { return m_playlist.files.size(); }
    std::optional<std::size_t> selected() const { return m_selected; }
    const std::string& editText() const { return m_editText; }

    // An entry clicked in either list: both lists select it and the edit text
    // becomes its display name. An index past the end selects nothing.
    void select(std::size_t index);
    void setEditText(std::string text) { m_editText = std::move(text); }

    // The selected track changes places with its neighbour and stays selected;
    // nothing happens at the ends of the list or without a selection.
    void moveUp();
    void moveDown();

    // Asks "REMOVE THE SELECTED TRACK?"; on Yes removes the selected track.
    // Afterwards nothing is selected; the edit text stays.
    void remove(IMessageBox& box);

    // The selected display name becomes the edit text, unchanged.
    void update();

    // What "&Done" writes back to the main window.
    const Playlist& result() const { return m_playlist; }

private:
    Playlist m_playlist;
    std::optional<std::size_t> m_selected;
    std::string m_editText;
};

} // namespace tmbr::gui
