#include "support/modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace TestModal {

std::shared_ptr<bool> whenModal(std::function<void(QWidget *)> action, int timeoutMs)
{
    auto done = std::make_shared<bool>(false);
    auto timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [=]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            *done = true;
            action(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
    return done;
}

std::shared_ptr<BoxSeen> answerMessageBox(QMessageBox::StandardButton button, int timeoutMs)
{
    auto seen = std::make_shared<BoxSeen>();
    whenModal(
        [seen, button](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box)
                return;
            seen->shown = true;
            seen->text = box->text();
            seen->title = box->windowTitle();
            seen->icon = box->icon();
            if (QAbstractButton *b = box->button(button))
                b->click();
            else
                box->reject();
        },
        timeoutMs);
    return seen;
}

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace TestModal
