#include "data/messages.h"

// Placeholder bodies until the database layer lands.
bool InitMsgDB()
{
    return false;
}

QString LocalMsg(const QString &, const std::optional<QString> &, const std::optional<QString> &,
                 const std::optional<QString> &)
{
    return QString();
}

QString JXMSG(const QString &, const std::optional<QString> &, const std::optional<QString> &,
                 const std::optional<QString> &)
{
    return QString();
}

bool getParamValue(const QString &, QString &)
{
    return false;
}
