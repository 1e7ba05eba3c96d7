#include "forms/runwindows.h"

#include <QCoreApplication>
#include <QList>
#include <QPointer>

namespace {
QList<QPointer<QWidget>> &runWindows()
{
    static QList<QPointer<QWidget>> windows;
    return windows;
}
} // namespace

void OwnForRun(QWidget *window)
{
    static const bool atQuit = [] {
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, &DeleteRunWindows);
        return true;
    }();
    Q_UNUSED(atQuit);
    runWindows().append(window);
}

void DeleteRunWindows()
{
    // Last made first: a window made later may refer to one made before it.
    QList<QPointer<QWidget>> windows;
    windows.swap(runWindows());
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        delete it->data();
}
