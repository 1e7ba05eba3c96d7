#include "common/dates.h"
#include "common/globals.h"

#include <gtest/gtest.h>

namespace {

struct CalendarGuard
{
    QString calendar = gsCalendar, sep = gsDateSep;
    CalendarGuard(const QString &c, const QString &s = QStringLiteral("/"))
    {
        gsCalendar = c;
        gsDateSep = s;
    }
    ~CalendarGuard()
    {
        gsCalendar = calendar;
        gsDateSep = sep;
    }
};

} // namespace

TEST(DateDisplay, ModesOfTheCalendarSetting)
{
    CalendarGuard g(QStringLiteral("YYYY/MM/DD"));
    const QDate d(2019, 12, 24);
    EXPECT_EQ(DBDateDisp(d), "2019/12/24");
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("YY/MM/DD")), "19/12/24");
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("CC/MM/DD")), "108/12/24");
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("CCMMDD")), "1081224");
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("YYYY/MM")), "2019/12");
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("YYMMDD")), "191224");
    EXPECT_EQ(DBDateDisp(QDate(2010, 1, 5), QStringLiteral("CC/MM/DD")), "99/01/05");
    EXPECT_EQ(DBDateDisp(QDate(2011, 1, 5), QStringLiteral("CC/MM/DD")), "100/01/05");
    EXPECT_EQ(DBDateDisp(QDate(1916, 1, 5), QStringLiteral("CC/MM/DD")), "05/01/05");
}

TEST(DateDisplay, TimeNeverShowsAndNonDatesAreEmpty)
{
    CalendarGuard g(QStringLiteral("YYYY/MM/DD"));
    EXPECT_EQ(DBDateDisp(QDateTime(QDate(2019, 12, 24), QTime(23, 59))), "2019/12/24");
    EXPECT_EQ(DBDateDisp(QStringLiteral("2019/12/24 23:59:00")), "2019/12/24");
    EXPECT_EQ(DBDateDisp(QString()), "");
    EXPECT_EQ(DBDateDisp(QStringLiteral("abc")), "");
    EXPECT_EQ(DBDateDisp(QVariant()), "");
    EXPECT_EQ(DBDateDisp(QStringLiteral("2019/02/30")), "");
}

TEST(DateDisplay, SeparatorSettingAppliesExceptToYearMonth)
{
    CalendarGuard g(QStringLiteral("YYYY/MM/DD"), QStringLiteral("-"));
    EXPECT_EQ(DBDateDisp(QDate(2019, 12, 24)), "2019-12-24");
    EXPECT_EQ(DBDateDisp(QDate(2019, 12, 24), QStringLiteral("YYYY/MM")), "2019/12");
}

TEST(DateEntry, SeparatorsAreAddedToBareDigits)
{
    CalendarGuard g(QStringLiteral("YYYY/MM/DD"));
    EXPECT_EQ(dateAddSep(QStringLiteral("2019/12/24")), "2019/12/24");
    EXPECT_EQ(dateAddSep(QStringLiteral("20191224")), "2019/12/24");
    EXPECT_EQ(dateAddSep(QStringLiteral("981224")), "98/12/24");
    EXPECT_EQ(dateAddSep(QStringLiteral("1224")), "");
}

TEST(DateEntry, StorageTextPerCalendarMode)
{
    {
        CalendarGuard g(QStringLiteral("CC/MM/DD"));
        EXPECT_EQ(DBDateSave(QStringLiteral("98/12/24")), "2009/12/24");
        EXPECT_EQ(DBDateSave(QStringLiteral("98-12-24")), "2009/12/24");
        EXPECT_EQ(DBDateSave(QStringLiteral("98/02/30")), "");
        EXPECT_EQ(DBDateSave(QStringLiteral("108/12/24")), ""); // only 8-character input
    }
    {
        CalendarGuard g(QStringLiteral("YYYY/MM/DD"));
        EXPECT_EQ(DBDateSave(QStringLiteral("2019/12/24")), "2019/12/24");
        EXPECT_EQ(DBDateSave(QStringLiteral("2019/2/30")), "");
        EXPECT_EQ(DBDateSave(QStringLiteral("2019/02/30")), "");
        EXPECT_EQ(DBDateSave(QStringLiteral("2019-12-24")), "2019-12-24");
    }
    {
        CalendarGuard g(QStringLiteral("YY/MM/DD"));
        EXPECT_EQ(DBDateSave(QStringLiteral("19/12/24")), "2019/12/24");
        EXPECT_EQ(DBDateSave(QStringLiteral("xx")), "");
    }
}

TEST(Periods, EndStartAndPreviousEnd)
{
    EXPECT_EQ(PeriodEndDate(2003, 1, QString()), QDate(2003, 1, 31));
    EXPECT_EQ(PeriodEndDate(2004, 2, QString()), QDate(2004, 2, 29));
    EXPECT_EQ(PreviousPeriodEnd(2004, 2, QString()), QDate(2004, 1, 31));
    EXPECT_EQ(PeriodStartDate(2004, 2, QString()), QDate(2004, 2, 1));
    // Closing day 25: 26 February to 25 March, opening balance of 25 February.
    EXPECT_EQ(PeriodEndDate(2003, 3, QStringLiteral("25")), QDate(2003, 3, 25));
    EXPECT_EQ(PeriodStartDate(2003, 3, QStringLiteral("25")), QDate(2003, 2, 26));
    EXPECT_EQ(PreviousPeriodEnd(2003, 3, QStringLiteral("25")), QDate(2003, 2, 25));
    // Closing day 31 in February rolls into March.
    EXPECT_EQ(PeriodEndDate(2003, 2, QStringLiteral("31")), QDate(2003, 3, 3));
    // 31 March minus one month clamps to the end of February.
    EXPECT_EQ(PreviousPeriodEnd(2003, 3, QStringLiteral("31")), QDate(2003, 2, 28));
}

TEST(Periods, RocYears)
{
    CalendarGuard g(QStringLiteral("CC/MM/DD"));
    EXPECT_TRUE(UsesRocCalendar());
    EXPECT_EQ(WesternYear(92), 2003);
    gsCalendar = QStringLiteral("cc/mm/dd");
    EXPECT_TRUE(UsesRocCalendar());
    gsCalendar = QStringLiteral("YYYY/MM/DD");
    EXPECT_EQ(WesternYear(2003), 2003);
}
