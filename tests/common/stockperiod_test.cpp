#include "common/stockperiod.h"

#include <gtest/gtest.h>

namespace {

struct PeriodCase
{
    const char *closingDay;
    int year;
    int month;
    QDate start;
    QDate end;
    QDate previousEnd;
};

std::string describe(const QString &closingDay, int year, int month)
{
    return QStringLiteral("closing day \"%1\", %2/%3")
        .arg(closingDay)
        .arg(year)
        .arg(month)
        .toStdString();
}

} // namespace

TEST(StockPeriods, EndsOnTheClosingDayOrTheMonthsLastDay)
{
    const PeriodCase cases[] = {
        // Calendar months: leap February, and across the year end.
        {"", 2004, 2, {2004, 2, 1}, {2004, 2, 29}, {2004, 1, 31}},
        {"", 2003, 1, {2003, 1, 1}, {2003, 1, 31}, {2002, 12, 31}},
        // Closing day 25: 26 February to 25 March, opening balance of 25 February.
        {"25", 2003, 3, {2003, 2, 26}, {2003, 3, 25}, {2003, 2, 25}},
        {"25", 2003, 1, {2002, 12, 26}, {2003, 1, 25}, {2002, 12, 25}},
        {"28", 2004, 3, {2004, 2, 29}, {2004, 3, 28}, {2004, 2, 28}},
        {"28", 2003, 3, {2003, 3, 1}, {2003, 3, 28}, {2003, 2, 28}},
        // Closing days beyond a short month end on its last day.
        {"29", 2003, 2, {2003, 1, 30}, {2003, 2, 28}, {2003, 1, 29}},
        {"29", 2003, 3, {2003, 3, 1}, {2003, 3, 29}, {2003, 2, 28}},
        {"29", 2004, 2, {2004, 1, 30}, {2004, 2, 29}, {2004, 1, 29}},
        {"30", 2004, 3, {2004, 3, 1}, {2004, 3, 30}, {2004, 2, 29}},
        {"30", 2005, 1, {2004, 12, 31}, {2005, 1, 30}, {2004, 12, 30}},
        {"31", 2003, 2, {2003, 2, 1}, {2003, 2, 28}, {2003, 1, 31}},
        {"31", 2003, 3, {2003, 3, 1}, {2003, 3, 31}, {2003, 2, 28}},
        {"31", 2003, 4, {2003, 4, 1}, {2003, 4, 30}, {2003, 3, 31}},
        {"31", 2005, 1, {2005, 1, 1}, {2005, 1, 31}, {2004, 12, 31}},
        // The number at the start of the setting; no day number means calendar months.
        {"25日", 2003, 3, {2003, 2, 26}, {2003, 3, 25}, {2003, 2, 25}},
        {"0", 2003, 3, {2003, 3, 1}, {2003, 3, 31}, {2003, 2, 28}},
        {"月底", 2003, 2, {2003, 2, 1}, {2003, 2, 28}, {2003, 1, 31}},
    };
    for (const PeriodCase &c : cases) {
        const QString day = QString::fromUtf8(c.closingDay);
        const std::string what = describe(day, c.year, c.month);
        EXPECT_EQ(PeriodStartDate(c.year, c.month, day), c.start) << what;
        EXPECT_EQ(PeriodEndDate(c.year, c.month, day), c.end) << what;
        EXPECT_EQ(PreviousPeriodEnd(c.year, c.month, day), c.previousEnd) << what;
    }
}

TEST(StockPeriods, FollowOneAnotherWithoutGapOrOverlap)
{
    for (const char *setting : {"", "1", "15", "25", "28", "29", "30", "31", "45", "abc"}) {
        const QString day = QString::fromLatin1(setting);
        // From a non-leap February through a leap one and two year ends.
        for (QDate month(2002, 11, 1); month < QDate(2005, 4, 1); month = month.addMonths(1)) {
            const int y = month.year(), m = month.month();
            const std::string what = describe(day, y, m);
            const QDate end = PeriodEndDate(y, m, day);
            EXPECT_EQ(end.year(), y) << what;
            EXPECT_EQ(end.month(), m) << what;
            EXPECT_LE(PeriodStartDate(y, m, day), end) << what;
            const QDate next = month.addMonths(1);
            EXPECT_EQ(PeriodStartDate(next.year(), next.month(), day), end.addDays(1)) << what;
            EXPECT_EQ(PreviousPeriodEnd(next.year(), next.month(), day), end) << what;
        }
    }
}

TEST(StockPeriods, ClosingDaysUpToTwentyEightKeepTheirDates)
{
    // The period ends on the day itself and starts the day after that day a month before.
    for (int day = 1; day <= 28; ++day) {
        const QString setting = QString::number(day);
        for (QDate month(2003, 1, 1); month < QDate(2005, 1, 1); month = month.addMonths(1)) {
            const int y = month.year(), m = month.month();
            const QDate end(y, m, day);
            const std::string what = describe(setting, y, m);
            EXPECT_EQ(PeriodEndDate(y, m, setting), end) << what;
            EXPECT_EQ(PreviousPeriodEnd(y, m, setting), end.addMonths(-1)) << what;
            EXPECT_EQ(PeriodStartDate(y, m, setting), end.addMonths(-1).addDays(1)) << what;
        }
    }
}
