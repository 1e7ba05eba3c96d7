#include "platform/localtimezone.h"

#include <QFile>
#include <QtGlobal>

void SettleLocalTimeZone()
{
#if defined(Q_OS_LINUX)
    // ":/etc/localtime" is the C library's own default; Qt reads it as the system zone.
    if (!qEnvironmentVariableIsSet("TZ") && QFile::exists(QStringLiteral("/etc/localtime")))
        qputenv("TZ", ":/etc/localtime");
#endif
}
