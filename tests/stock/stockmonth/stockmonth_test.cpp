#include "common/dates.h"
#include "common/numtext.h"
#include "stock/stockcolumns.h"
#include "stock/stockmonth.h"

#include <QDate>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using C = StockColumns;

const StockMonth::Period Nov2026{2026, 11, QStringLiteral("A01"), QDate(2026, 11, 30)};

// A fresh copy of the text, as a driver hands out every field.
QString fresh(const char *text)
{
    return QString::fromUtf8(text);
}

StockRow row(double rno, const QString &stkNo)
{
    StockRow r;
    r.stored.Rno = rno;
    r.stored.DeptNo = fresh("A01");
    r.stored.StkDate = QDate(2026, 11, 30);
    r.stored.STKNo = stkNo;
    r.stored.UserID = fresh("MAKER");
    r.stored.UpdUserID = fresh("MAKER");
    r.updDate = fresh("2026/11/30 18:00:00");
    r.name = QStringLiteral("物料 ") + stkNo;
    r.dscp = fresh("500g");
    r.unit = fresh("包");
    r.flag = fresh("Y");
    r.lType = fresh("L1");
    return r;
}

void expectSameRow(const StockRow &got, const StockRow &want, const std::string &what)
{
    const StockRecord &g = got.stored, &w = want.stored;
    EXPECT_EQ(g.Rno, w.Rno) << what;
    EXPECT_EQ(g.DeptNo, w.DeptNo) << what;
    EXPECT_EQ(g.StkDate, w.StkDate) << what;
    EXPECT_EQ(g.STKNo, w.STKNo) << what;
    for (int col = C::ColLastQty; col <= C::ColAvgPrice; ++col) {
        // Bit for bit: a figure keeps its sign and every digit.
        const double a = StockMonth::storedFigure(g, col), b = StockMonth::storedFigure(w, col);
        EXPECT_TRUE(a == b && std::signbit(a) == std::signbit(b))
            << what << " column " << col << ": " << a << " != " << b;
    }
    EXPECT_EQ(g.LostAmt, w.LostAmt) << what;
    EXPECT_EQ(g.UserID, w.UserID) << what;
    EXPECT_EQ(g.UpdUserID, w.UpdUserID) << what;
    EXPECT_EQ(got.updDate, want.updDate) << what;
    EXPECT_EQ(got.name, want.name) << what;
    EXPECT_EQ(got.dscp, want.dscp) << what;
    EXPECT_EQ(got.unit, want.unit) << what;
    EXPECT_EQ(got.flag, want.flag) << what;
    EXPECT_EQ(got.lType, want.lType) << what;
    EXPECT_EQ(got.factor, want.factor) << what;
}

} // namespace

// Whatever goes in comes out: figures bit for bit, dates to the day (none stays none), texts
// as given, through at(), text() and the figures the entry works with.
TEST(StockMonthRows, RowsComeBackAsAppended)
{
    struct Case
    {
        const char *what;
        QDate date;
        double figure;
        double factor;
    };
    const Case cases[] = {
        {"ordinary", QDate(2026, 11, 30), 12.5, 1},
        {"decimal without an exact binary form", QDate(2026, 2, 28), 0.1 + 0.2, 12},
        {"negative, as a shortage", QDate(1999, 12, 31), -3.75, 0.5},
        {"negative zero", QDate(2000, 2, 29), -0.0, 1},
        {"amount beyond float's digits", QDate(1900, 1, 1), 123456789012.34, 1},
        {"largest exact integer", QDate(9999, 12, 31), 9007199254740991.0, 1},
        {"smallest step", QDate(1753, 1, 1), std::numeric_limits<double>::denorm_min(), 1},
        {"no date", QDate(), 7, 1},
    };
    for (const bool useUnit : {false, true}) {
        StockMonth month;
        month.reset(Nov2026, useUnit);
        std::vector<StockRow> in;
        int n = 0;
        for (const Case &c : cases) {
            StockRow r = row(1e9 + n, QStringLiteral("S%1").arg(n));
            r.stored.StkDate = c.date;
            for (int col = C::ColLastQty; col <= C::ColAvgPrice; ++col)
                StockMonth::storedFigure(r.stored, col) = c.figure * (col % 3 ? 1 : -1);
            r.stored.LostAmt = c.figure;
            r.factor = c.factor;
            r.stored.UpdUserID = n % 2 ? fresh("CLERK1") : QString();
            r.updDate = QStringLiteral("2026/12/09 10:00:%1").arg(n, 2, 10, QLatin1Char('0'));
            r.unit = n % 3 ? fresh("包") : fresh("kg");
            in.push_back(r);
            EXPECT_EQ(month.append(r), n++);
        }
        ASSERT_EQ(month.size(), n);
        for (int i = 0; i < n; ++i) {
            const std::string what = std::string(cases[i].what) + (useUnit ? " (use unit)" : "");
            const StockRow &want = in[size_t(i)];
            expectSameRow(month.at(i), want, what);
            EXPECT_EQ(month.factor(i), want.factor) << what;
            EXPECT_EQ(month.text(i, C::ColStkDate), DateText(want.stored.StkDate)) << what;
            EXPECT_EQ(month.text(i, C::ColRNo), NumText(want.stored.Rno)) << what;
            EXPECT_EQ(month.text(i, C::ColUpdUserID), want.stored.UpdUserID) << what;
            EXPECT_EQ(month.text(i, C::ColUnit), want.unit) << what;
            EXPECT_EQ(month.text(i, C::ColName), want.name) << what;
            const RowFigures got = month.figures(i, true);
            const RowFigures made = StockMonth::figuresOf(want.stored, want.factor, useUnit, true);
            EXPECT_EQ(got.stkQty, made.stkQty) << what;
            EXPECT_EQ(got.avgPrice, made.avgPrice) << what;
            EXPECT_EQ(got.useQty, made.useQty) << what;
            EXPECT_EQ(month.figure(i, C::ColSTKQty), made.stkQty) << what;
            EXPECT_EQ(month.figure(i, C::ColAvgPrice), made.avgPrice) << what;
            EXPECT_EQ(month.figure(i, C::ColSTKAmt), want.stored.STKAmt) << what;
            EXPECT_EQ(month.indexOfRno(want.stored.Rno), i) << what;
        }
    }
}

// Rows hold their repeating texts in common, each read anew as it is: a write to one row, or
// its item fields completed anew, changes that row only.
TEST(StockMonthRows, ChangingOneRowLeavesTheRowsSharingItsTexts)
{
    StockMonth month;
    month.reset(Nov2026, false);
    constexpr int Rows = 1000;
    for (int i = 0; i < Rows; ++i)
        month.append(row(i + 1, QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0'))));
    const StockRow first = month.at(0), last = month.at(Rows - 1);
    for (const auto text :
         {&StockRow::updDate, &StockRow::dscp, &StockRow::unit, &StockRow::flag, &StockRow::lType})
        EXPECT_EQ((first.*text).constData(), (last.*text).constData());
    for (const auto text : {&StockRecord::DeptNo, &StockRecord::UserID, &StockRecord::UpdUserID})
        EXPECT_EQ((first.stored.*text).constData(), (last.stored.*text).constData());

    StockRow written = month.at(500);
    written.stored.UpdUserID = fresh("CLERK1");
    written.stored.UserID = fresh("MAKER2");
    written.stored.DeptNo = fresh("A02");
    written.stored.StkDate = QDate(2026, 12, 31);
    written.stored.STKQty = 42.5;
    written.updDate = fresh("2026/12/09 10:15:00");
    month.setStored(500, written.stored, written.updDate);

    StockRow fields = month.at(700);
    fields.name = fresh("新名稱");
    fields.dscp = fresh("1kg");
    fields.unit = fresh("箱");
    fields.flag = fresh("N");
    fields.lType = fresh("L2");
    fields.factor = 12;
    month.setItemFields(700, fields);

    for (int i = 0; i < Rows; ++i) {
        const std::string what = "row " + std::to_string(i);
        StockRow want = row(i + 1, QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0')));
        if (i == 500) {
            want.stored = written.stored;
            want.updDate = written.updDate;
        }
        if (i == 700)
            want = fields;
        expectSameRow(month.at(i), want, what);
        EXPECT_EQ(month.text(i, C::ColUpdUserID), want.stored.UpdUserID) << what;
        EXPECT_EQ(month.text(i, C::ColFlag), want.flag) << what;
    }
}

// Every record number finds its row, also when the month grew far past what it reserved;
// one read again names the row added last; an unknown one finds none.
TEST(StockMonthRows, RecordNumbersFindTheirRows)
{
    StockMonth month;
    month.reset(Nov2026, false);
    month.reserve(1000);
    constexpr int Rows = 100000;
    const auto rnoOf = [](int i) { return double((qint64(i) * 7919) % 1000003 + 1); };
    for (int i = 0; i < Rows; ++i)
        month.append(row(rnoOf(i), QString()));
    for (int i = 0; i < Rows; ++i)
        ASSERT_EQ(month.indexOfRno(rnoOf(i)), i) << i;
    EXPECT_EQ(month.indexOfRno(0), -1);
    EXPECT_EQ(month.indexOfRno(2000000), -1);

    const int again = month.append(row(rnoOf(123), QStringLiteral("S-again")));
    EXPECT_EQ(month.indexOfRno(rnoOf(123)), again);
    EXPECT_EQ(month.indexOfRno(rnoOf(124)), 124);
}

// A new month starts empty: no rows, no record numbers.
TEST(StockMonthRows, ResetStartsAnEmptyMonth)
{
    StockMonth month;
    month.reset(Nov2026, false);
    for (int i = 0; i < 10; ++i)
        month.append(row(i + 1, QStringLiteral("S%1").arg(i)));
    const StockMonth::Period dec{2026, 12, QStringLiteral("A02"), QDate(2026, 12, 31)};
    month.reset(dec, true);
    EXPECT_EQ(month.size(), 0);
    EXPECT_EQ(month.period(), dec);
    EXPECT_TRUE(month.useUnit());
    EXPECT_EQ(month.indexOfRno(1), -1);

    StockRow r = row(1, QStringLiteral("T1"));
    r.stored.DeptNo = fresh("A02");
    r.unit = fresh("kg");
    EXPECT_EQ(month.append(r), 0);
    expectSameRow(month.at(0), r, "after reset");

    // The same month started again (a query read anew) keeps its period and unit.
    month.reset(month.period(), month.useUnit());
    EXPECT_EQ(month.size(), 0);
    EXPECT_EQ(month.period(), dec);
    EXPECT_TRUE(month.useUnit());
    EXPECT_TRUE(month.isLoaded());
}
