#pragma once

#include <QDialog>
#include <QTimer>

namespace tmbr::gui {

// frmSplash: one picture and tmrSplash, whose first tick closes the window.
// Shown modally with the busy pointer.
class SplashWindow : public QDialog {
    Q_OBJECT
public:
    // `intervalMs`: tmrSplash's interval (2000 in the program).
    explicit SplashWindow(QWidget* parent = nullptr, int intervalMs = 2000);

    const QTimer& timer() const { return m_timer; }

    // Shows the window modally until the timer has closed it; returns Accepted.
    int exec() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QTimer m_timer;
};

} // namespace tmbr::gui
