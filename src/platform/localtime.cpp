#include "platform/localtime.h"

#include <QByteArray>
#include <QtGlobal>
#include <ctime>

void PinLocalTimeZone()
{
#ifdef Q_OS_UNIX
    if (!qEnvironmentVariableIsEmpty("TZ"))
        return;
    // The zone file the C library reads when TZ is not set (UTC when there is none); with
    // TZ set and unchanged, tzset() looks no further.
    qputenv("TZ", QByteArrayLiteral(":/etc/localtime"));
    tzset();
#endif
}
