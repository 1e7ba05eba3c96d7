#pragma once

// A control of a window found by its name, as the suite's forms name it: tests and
// benchmarks reach a window's controls as a user finds them, never through its members.

#include <QObject>
#include <QString>
#include <QtGlobal>

template <typename T> T *Control(const QObject &window, const QString &name)
{
    T *control = window.findChild<T *>(name);
    if (!control)
        qFatal("%s has no control %s", qPrintable(window.objectName()), qPrintable(name));
    return control;
}
