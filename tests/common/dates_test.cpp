#include "common/dates.h"
#include "common/state.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

struct CalendarGuard
{
    QString calendar = Ini().gsCalendar, sep = Ini().gsDateSep;
    CalendarGuard(const QString &c, const QString &s = QStringLiteral("/"))
    {
        EditIni().gsCalendar = c;
        EditIni().gsDateSep = s;
    }
    ~CalendarGuard()
    {
        EditIni().gsCalendar = calendar;
        EditIni().gsDateSep = sep;
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
    EXPECT_EQ(dateAddSep(QStringLiteral("1141224")), ""); // seven digits: ROC calendar only
}

TEST(DateEntry, StorageTextPerCalendarMode)
{
    {
        CalendarGuard g(QStringLiteral("CC/MM/DD"));
        EXPECT_EQ(DBDateSave(QStringLiteral("98/12/24")), "2009/12/24");
        EXPECT_EQ(DBDateSave(QStringLiteral("98-12-24")), "2009/12/24");
        EXPECT_EQ(DBDateSave(QStringLiteral("98/02/30")), "");
        EXPECT_EQ(DBDateSave(QStringLiteral("114/12/24")), "2025/12/24"); // ROC years from 100
        EXPECT_EQ(DBDateSave(QStringLiteral("100/01/01")), "2011/01/01");
        EXPECT_EQ(DBDateSave(QStringLiteral("113/02/29")), "2024/02/29");
        EXPECT_EQ(DBDateSave(QStringLiteral("114/02/29")), "");
        // Every date the calendar shows can be typed back as it is shown.
        for (const QDate d : {QDate(1921, 3, 4), QDate(2010, 12, 31), QDate(2011, 1, 1),
                              QDate(2025, 12, 24), QDate(2110, 12, 31)})
            EXPECT_EQ(DBDateSave(DBDateDisp(d)), DateText(d)) << DBDateDisp(d).toStdString();
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

TEST(DateDisplay, EveryModeHonoursOrIgnoresTheSeparatorAsItShould)
{
    CalendarGuard g(QStringLiteral("CC/MM/DD"), QStringLiteral("-"));
    const QDate d(2019, 12, 24);
    EXPECT_EQ(DBDateDisp(d), "108-12-24"); // the calendar setting is the default mode
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("YY/MM/DD")), "19-12-24");
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("CCMMDD")), "1081224");
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("YYMMDD")), "191224");
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("YYYY/MM")), "2019/12");
    // Mode names are compared exactly: lower case is a date pattern, whose slash is a slash.
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("yyyy/mm/dd")), "2019/12/24");
    EXPECT_EQ(DBDateDisp(d, QStringLiteral("YYYY年MM月DD日")), "2019年12月24日");
    EXPECT_EQ(DBDateDisp(QDate(2000, 3, 4), QStringLiteral("YY/MM/DD")), "00-03-04");
    EXPECT_EQ(DBDateDisp(QDate(1920, 3, 4)), "09-03-04"); // ROC year below 10
}

TEST(DateDisplay, DateTextAndValuesOfEveryKind)
{
    CalendarGuard g(QStringLiteral("YYYY/MM/DD"));
    EXPECT_EQ(DBDateDisp(QStringLiteral("2019-12-24")), "2019/12/24");
    EXPECT_EQ(DBDateDisp(QStringLiteral("2019.1.5")), "2019/01/05");
    EXPECT_EQ(DBDateDisp(QStringLiteral("  2019/12/24  ")), "2019/12/24");
    EXPECT_EQ(DBDateDisp(QStringLiteral("2019-12-24T08:30:00")), "2019/12/24");
    EXPECT_EQ(DBDateDisp(QStringLiteral("98/12/24")), "1998/12/24");
    EXPECT_EQ(DBDateDisp(QStringLiteral("19/12/24")), "2019/12/24");
    EXPECT_EQ(DBDateDisp(QStringLiteral("２０１９/１２/２４")), "2019/12/24");
    EXPECT_EQ(DBDateDisp(QVariant::fromValue(QDate())), "");
    EXPECT_EQ(DBDateDisp(QStringLiteral("24/12/2019")), ""); // year first only
    EXPECT_EQ(DBDateDisp(QStringLiteral("2019/12-24")), "");
    EXPECT_EQ(DBDateDisp(QStringLiteral("2019/13/01")), "");
    EXPECT_EQ(DBDateDisp(QStringLiteral("2019/12/24 25:00")), "");
    EXPECT_EQ(DBDateDisp(QStringLiteral("2019/12/24x")), "");
    EXPECT_EQ(DBDateDisp(QVariant(43823)), ""); // a number is no date
}

TEST(DateDisplay, MachineLocaleChangesNothing)
{
    CalendarGuard g(QStringLiteral("YYYY/MM/DD"));
    const QLocale before;
    for (const QLocale &l : {QLocale(QLocale::Chinese, QLocale::Taiwan),
                             QLocale(QLocale::Arabic, QLocale::Egypt), QLocale(QLocale::German)}) {
        QLocale::setDefault(l);
        EXPECT_EQ(DBDateDisp(QDate(2019, 12, 24)), "2019/12/24");
        EXPECT_EQ(DBDateDisp(QDate(2019, 12, 24), QStringLiteral("CC/MM/DD")), "108/12/24");
        EXPECT_EQ(DBDateSave(QStringLiteral("2019/12/24")), "2019/12/24");
        EXPECT_TRUE(IsDate(QStringLiteral("2019/12/24")));
    }
    QLocale::setDefault(before);
}

TEST(DateEntry, SeparatorSettingDecidesWhatCountsAsSeparated)
{
    CalendarGuard g(QStringLiteral("YYYY/MM/DD"), QStringLiteral("-"));
    EXPECT_EQ(dateAddSep(QStringLiteral("20191224")), "2019-12-24");
    EXPECT_EQ(dateAddSep(QStringLiteral("981224")), "98-12-24");
    EXPECT_EQ(dateAddSep(QStringLiteral("2019-12-24")), "2019-12-24");
    EXPECT_EQ(dateAddSep(QStringLiteral("2019/12/24")), ""); // ten characters, no "-"
    EXPECT_EQ(dateAddSep(QStringLiteral("1224")), "");
    EXPECT_EQ(dateAddSep(QString()), "");
    EXPECT_EQ(dateAddSep(QStringLiteral("abcdef")), "ab-cd-ef"); // checking is DBDateSave's
}

TEST(DateEntry, RocStorageLooksOnlyAtItsPositions)
{
    CalendarGuard g(QStringLiteral("CC/MM/DD"), QStringLiteral("-"));
    EXPECT_EQ(DBDateSave(QStringLiteral("98-12-24")), "2009/12/24"); // always "/"
    EXPECT_EQ(DBDateSave(QStringLiteral("98x12y24")), "2009/12/24"); // 3rd, 6th not examined
    EXPECT_EQ(DBDateSave(QStringLiteral("01/02/28")), "1912/02/28");
    EXPECT_EQ(DBDateSave(QStringLiteral("89/02/29")), "2000/02/29");
    EXPECT_EQ(DBDateSave(QStringLiteral("90/02/29")), "");
    EXPECT_EQ(DBDateSave(QStringLiteral("98/1/24")), ""); // seven characters
    EXPECT_EQ(DBDateSave(QStringLiteral("108-12-24")), "2019/12/24");
    EXPECT_EQ(DBDateSave(QStringLiteral("114x12y24")), "2025/12/24"); // 4th, 7th not examined
    EXPECT_EQ(DBDateSave(QStringLiteral("1141-2-24")), "");
    EXPECT_EQ(DBDateSave(QStringLiteral(" 98/12/2")), ""); // length counted before trimming
    EXPECT_EQ(DBDateSave(QStringLiteral(" 98/12/24")), "");
    EXPECT_EQ(DBDateSave(QStringLiteral("1114/12/24")), ""); // four-digit years are not ROC
    // A year that is no number is refused rather than read as ROC year 0.
    EXPECT_EQ(DBDateSave(QStringLiteral("ab/12/24")), "");
    EXPECT_EQ(DBDateSave(QStringLiteral("-1/12/24")), "");
    // The whole check of a typed field: bare digits first get their separators.
    EXPECT_EQ(DBDateSave(dateAddSep(QStringLiteral("981224"))), "2009/12/24");
    EXPECT_EQ(dateAddSep(QStringLiteral("1141224")), "114-12-24");
    EXPECT_EQ(DBDateSave(dateAddSep(QStringLiteral("1141224"))), "2025/12/24");
    EXPECT_EQ(DBDateSave(dateAddSep(QStringLiteral("1140230"))), "");
    EXPECT_EQ(dateAddSep(QStringLiteral("114-12-24")), "114-12-24");
    EditIni().gsDateSep = QStringLiteral("/");
    EXPECT_EQ(DBDateSave(dateAddSep(QStringLiteral("1141224"))), "2025/12/24");
    EXPECT_EQ(DBDateSave(dateAddSep(QStringLiteral("114/12/24"))), "2025/12/24");
    EXPECT_EQ(DBDateSave(dateAddSep(QStringLiteral("981224"))), "2009/12/24");
    EXPECT_EQ(DBDateSave(QStringLiteral("９８/１２/２４")), "2009/12/24");
}

TEST(DateEntry, WesternAndShortYearStorage)
{
    {
        CalendarGuard g(QStringLiteral("YYYY/MM/DD"));
        EXPECT_EQ(DBDateSave(QStringLiteral(" 2019/1/24")), "2019/1/24"); // 10 before trimming
        EXPECT_EQ(DBDateSave(QStringLiteral("2019/12/24 ")), "");         // 11 characters
        EXPECT_EQ(DBDateSave(QStringLiteral("2020/02/29")), "2020/02/29");
        EXPECT_EQ(DBDateSave(QStringLiteral("2019/12/32")), "");
        EXPECT_EQ(DBDateSave(QStringLiteral("abcdefghij")), "");
        EXPECT_EQ(DBDateSave(QString()), "");
        // Storage text goes into SQL: full-width digits come out as ASCII.
        EXPECT_EQ(DBDateSave(QStringLiteral("２０１９/１２/２４")), "2019/12/24");
    }
    {
        CalendarGuard g(QStringLiteral("YYMMDD"));
        EXPECT_EQ(DBDateSave(QStringLiteral("20/02/29")), "2020/02/29");
        EXPECT_EQ(DBDateSave(QStringLiteral("19/02/29")), "");
        EXPECT_EQ(DBDateSave(QStringLiteral(" 19/12/24 ")), "2019/12/24");
        EXPECT_EQ(DBDateSave(QStringLiteral("2019/12/24")), ""); // "202019/12/24"
    }
}

TEST(Periods, RocYears)
{
    CalendarGuard g(QStringLiteral("CC/MM/DD"));
    EXPECT_TRUE(UsesRocCalendar());
    EXPECT_EQ(WesternYear(92), 2003);
    EditIni().gsCalendar = QStringLiteral("cc/mm/dd");
    EXPECT_TRUE(UsesRocCalendar());
    EditIni().gsCalendar = QStringLiteral("YYYY/MM/DD");
    EXPECT_EQ(WesternYear(2003), 2003);
}

TEST(ParseDate, TheProgramsFormAndTheGeneralFormsReadAlike)
{
    const QDate jan31(2003, 1, 31);
    const struct
    {
        QVariant value;
        std::optional<QDate> date;
        QTime time;
    } cases[] = {
        {QStringLiteral("2003/01/31"), jan31, QTime(0, 0)},
        {QStringLiteral("2003/01/31 10:20:30"), jan31, QTime(10, 20, 30)},
        {QStringLiteral("2003/01/31 00:00:00"), jan31, QTime(0, 0)},
        {QStringLiteral("2003/02/30"), std::nullopt, {}},
        {QStringLiteral("2003/13/01"), std::nullopt, {}},
        {QStringLiteral("2003/01/31 25:00:00"), std::nullopt, {}},
        {QStringLiteral("2003/01/3x"), std::nullopt, {}},
        {QStringLiteral("2003/01/31T10:20:30"), jan31, QTime(10, 20, 30)},
        {QStringLiteral("2003/01/31 10:20"), jan31, QTime(10, 20)},
        {QStringLiteral(" 2003-1-31 "), jan31, QTime(0, 0)},
        {QStringLiteral("03/01/31"), jan31, QTime(0, 0)},
        {QStringLiteral("２００３/０１/３１"), jan31, QTime(0, 0)},
        {QVariant(jan31), jan31, QTime(0, 0)},
        {QVariant(QDateTime(jan31, QTime(8, 5))), jan31, QTime(8, 5)},
        {QVariant(), std::nullopt, {}},
        {QStringLiteral(""), std::nullopt, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value.toString().toStdString());
        EXPECT_EQ(ParseDate(c.value), c.date);
        EXPECT_EQ(IsDate(c.value), c.date.has_value());
        const auto dt = ParseDateTime(c.value);
        ASSERT_EQ(dt.has_value(), c.date.has_value());
        if (dt) {
            EXPECT_EQ(dt->date(), *c.date);
            EXPECT_EQ(dt->time(), c.time);
        }
    }
}
