#pragma once

#include <QString>

class QObject;

// The menu program's hand-over and the group's rights to run this program; hides the
// window's command buttons for which the group lacks the right.
bool SetRight(const QString &progID, QString &errMsg, QObject *form = nullptr);
