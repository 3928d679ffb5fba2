#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <QWidget>
#include <string>

namespace tmbr::gui {

// Stands in for the Flash preview: draws the player of a movie path at its
// size (from its name, by the rules of its template folder) in its colour,
// and names it.
class PreviewWidget : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWidget(QWidget* parent = nullptr);

    // `movie`: a player file path, optionally followed by "?c=" and a colour
    // text; `colour`: the colour the player shows ("0xRRGGBB"), empty for its
    // own look. An empty movie shows nothing.
    void setMovie(const std::string& movie, const std::string& colour);

    const QString& playerName() const { return m_playerName; }
    bool isJukebox() const { return m_jukebox; }
    // The player's size in pixels (empty without a movie).
    QSize playerSize() const { return m_size; }
    // Invalid for the player's own look.
    QColor playerColour() const { return m_colour; }

    QSize sizeHint() const override { return { 330, 240 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_playerName;
    bool m_jukebox = false;
    QSize m_size;
    QColor m_colour;
};

// "0xRRGGBB" as a colour; invalid for any other text.
QColor colourFromText(const std::string& text);

} // namespace tmbr::gui
