#include "rearrangedialog.h"

#include "windowbutton.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <utility>

namespace tmbr::gui {

RearrangeDialog::RearrangeDialog(const Playlist& playlist, IMessageBox& messageBox, QWidget* parent)
    : QDialog(parent)
    , m_editor(playlist)
    , m_messageBox(messageBox)
{
    setObjectName("frmRearr");
    setWindowTitle("Re-Arrange Files");
    setModal(true);
    resize(640, 420);

    m_lstMp3Files = named<QListWidget>("lstMp3Files", this);
    m_lstTrackDisplay = named<QListWidget>("lstTrackDisplay", this);
    m_lstTrackDisplay->setToolTip(" Names as they would appear on the playlist");
    m_txtMp3FileName = named<QLineEdit>("txtMp3FileName", this);
    m_txtMp3FileName->setToolTip(" Edit the display name of the audio");

    auto* cmdUp = windowButton(this, "cmdUp", "Move Track U&p");
    auto* cmdDown = windowButton(this, "cmdDown", "Move Track Do&wn");
    auto* cmdRemove = windowButton(this, "cmdRemove", "&Remove Track");
    auto* cmdUpdate = windowButton(this, "cmdUpdate", "&Update");
    auto* cmdDone = windowButton(this, "cmdDone", "&Done", " Save and exit");
    auto* cmdCancel = windowButton(this, "cmdCancel", "&Cancel", " Do not save but exit");

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Actual mp3 file names in order of playlist:", this), 0, 0);
    grid->addWidget(new QLabel("Names of the tracks on playlist:", this), 0, 1);
    grid->addWidget(m_lstMp3Files, 1, 0);
    grid->addWidget(m_lstTrackDisplay, 1, 1);
    auto* moves = new QVBoxLayout;
    moves->addWidget(cmdUp);
    moves->addWidget(cmdDown);
    moves->addWidget(cmdRemove);
    moves->addStretch();
    grid->addLayout(moves, 1, 2);
    grid->addWidget(new QLabel("Edit selected track display name:", this), 2, 0, 1, 2);
    grid->addWidget(m_txtMp3FileName, 3, 0, 1, 2);
    grid->addWidget(cmdUpdate, 3, 2);
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(cmdDone);
    closing->addWidget(cmdCancel);
    grid->addLayout(closing, 4, 0, 1, 3);

    connect(m_lstMp3Files, &QListWidget::currentRowChanged, this, &RearrangeDialog::select);
    connect(m_lstTrackDisplay, &QListWidget::currentRowChanged, this, &RearrangeDialog::select);
    connect(m_txtMp3FileName, &QLineEdit::textEdited, this,
        [this](const QString& text) { m_editor.setEditText(text.toStdString()); });
    const std::pair<QPushButton*, void (RearrangeEditor::*)()> edits[]
        = { { cmdUp, &RearrangeEditor::moveUp }, { cmdDown, &RearrangeEditor::moveDown },
              { cmdUpdate, &RearrangeEditor::update } };
    for (const auto& [button, edit] : edits) {
        connect(button, &QPushButton::clicked, this, [this, edit = edit] {
            (m_editor.*edit)();
            showEditor();
        });
    }
    connect(cmdRemove, &QPushButton::clicked, this, [this] {
        m_editor.remove(m_messageBox);
        showEditor();
    });
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    showEditor();
}

void RearrangeDialog::select(int row)
{
    if (row < 0)
        return;
    m_editor.select(static_cast<std::size_t>(row));
    showEditor();
}

void RearrangeDialog::showEditor()
{
    const QSignalBlocker blockFiles(m_lstMp3Files);
    const QSignalBlocker blockNames(m_lstTrackDisplay);
    const Playlist& playlist = m_editor.playlist();
    m_lstMp3Files->clear();
    m_lstTrackDisplay->clear();
    for (std::size_t i = 0; i < playlist.files.size(); ++i) {
        m_lstMp3Files->addItem(QString::fromStdString(playlist.files[i]));
        m_lstTrackDisplay->addItem(QString::fromStdString(playlist.displayNames[i]));
    }
    // Set through the view, not setCurrentRow: a view whose current entry was
    // never set makes its first entry current when it gets the focus (as the
    // list does when a question box closes), which would select a track that
    // the user never chose.
    const int row = m_editor.selected() ? static_cast<int>(*m_editor.selected()) : -1;
    m_lstMp3Files->setCurrentIndex(m_lstMp3Files->model()->index(row, 0));
    m_lstTrackDisplay->setCurrentIndex(m_lstTrackDisplay->model()->index(row, 0));
    if (m_txtMp3FileName->text().toStdString() != m_editor.editText())
        m_txtMp3FileName->setText(QString::fromStdString(m_editor.editText()));
}

} // namespace tmbr::gui
