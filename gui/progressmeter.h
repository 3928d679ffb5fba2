#pragma once

#include <QWidget>

namespace tmbr::gui {

// A picture area that shows DrawProgress; the audio windows place one each.
class ProgressMeter : public QWidget {
    Q_OBJECT
public:
    explicit ProgressMeter(QWidget* parent = nullptr);

    double percent() const { return m_percent; }

    // Shows `percent` (0 to 100) at once and lets pending window events run,
    // so callers must accept re-entrant events here.
    void DrawProgress(double percent);

    QSize sizeHint() const override { return { 240, 22 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_percent = 0;
};

} // namespace tmbr::gui
