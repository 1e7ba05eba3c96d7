#include "platform/localtime.h"

#include <QDateTime>
#include <QTimeZone>
#include <gtest/gtest.h>

TEST(PinLocalTimeZone, KeepsTheSystemZoneAndItsTimes)
{
    const QByteArray before = qgetenv("TZ");
    qunsetenv("TZ");
    const QDateTime winter(QDate(2003, 1, 31), QTime(10, 0));
    const QDateTime summer(QDate(2003, 7, 31), QTime(10, 0));
    const qint64 winterUtc = winter.toSecsSinceEpoch(), summerUtc = summer.toSecsSinceEpoch();
    const QByteArray zone = QTimeZone::systemTimeZoneId();

    PinLocalTimeZone();
    EXPECT_EQ(qgetenv("TZ"), ":/etc/localtime");
    EXPECT_EQ(QDateTime(winter.date(), winter.time()).toSecsSinceEpoch(), winterUtc);
    EXPECT_EQ(QDateTime(summer.date(), summer.time()).toSecsSinceEpoch(), summerUtc);
    EXPECT_EQ(QTimeZone::systemTimeZoneId(), zone);

    // A zone the user set stays.
    qputenv("TZ", "Asia/Taipei");
    PinLocalTimeZone();
    EXPECT_EQ(qgetenv("TZ"), "Asia/Taipei");

    if (before.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", before);
    tzset();
}
