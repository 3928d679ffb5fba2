#pragma once

#include "rearrangeeditor.h"

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace tmbr::gui {

// frmRearr, "Re-Arrange Files": edits a working copy of the playlist. Accepted
// after "&Done" (result() is the edited playlist), rejected after "&Cancel"
// or the close box.
class RearrangeDialog : public QDialog {
    Q_OBJECT
public:
    RearrangeDialog(const Playlist& playlist, IMessageBox& messageBox, QWidget* parent = nullptr);

    const Playlist& result() const { return m_editor.result(); }

private:
    void select(int row);
    void showEditor();

    RearrangeEditor m_editor;
    IMessageBox& m_messageBox;
    QListWidget* m_lstMp3Files;
    QListWidget* m_lstTrackDisplay;
    QLineEdit* m_txtMp3FileName;
};

} // namespace tmbr::gui
