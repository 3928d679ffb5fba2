#pragma once

// Handling modal windows from a test: the action is queued before the code
// under test opens the window, and runs once that window is the active modal one.

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tmbr::gui::test {

template <typename Window> void onModal(std::function<void(Window*)> action, int timeoutMs = 10000)
{
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, timeoutMs] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
            window && window->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(window);
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal " << Window::staticMetaObject.className() << " appeared";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
        }
    });
    timer->start(10);
}

// What a message box showed, and which button was pressed.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the next message box with `button`, recording what it showed.
inline std::shared_ptr<SeenBox> answerBox(QMessageBox::StandardButton button)
{
    auto seen = std::make_shared<SeenBox>();
    onModal<QMessageBox>([seen, button](QMessageBox* box) {
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        QAbstractButton* target = box->button(button);
        if (!target) {
            ADD_FAILURE() << "message box without the expected button: " << box->text().toStdString();
            box->close();
            return;
        }
        target->click();
    });
    return seen;
}

} // namespace tmbr::gui::test
