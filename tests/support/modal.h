#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

// Driving modal windows from a test: before the call that opens one, arm an action that
// runs as soon as the modal window appears (it polls the event loop, never blocks).
namespace TestModal {

// Runs action(modalWidget) on the next modal window that appears within timeoutMs.
// The returned flag turns true once the action ran.
std::shared_ptr<bool> whenModal(std::function<void(QWidget *)> action, int timeoutMs = 10000);

// What a message box showed, filled in when the armed box appeared.
struct BoxSeen
{
    bool shown = false;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the next message box with the given button and records what it showed.
std::shared_ptr<BoxSeen> answerMessageBox(QMessageBox::StandardButton button,
                                          int timeoutMs = 10000);

// Processes events until the condition holds or the time runs out.
bool waitFor(const std::function<bool()> &condition, int timeoutMs = 5000);

} // namespace TestModal
