// The variance review of a month counted in several ways (stamped records, count lines, a
// manager's recount mark, records nobody counted, an item shown in its use unit), checked
// against a computation made here straight from the database's records.
#include "common/state.h"
#include "data/adodb.h"
#include "stock/stockcolumns.h"
#include "stock/stockcounting.h"
#include "stock/variancereview.h"
#include "support/testdatabase.h"

#include <QMap>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// One row as this test computes it from the records.
struct Expected
{
    QString stkNo;
    double difference = 0;
    double value = 0;
    bool recount = false;
    bool notCounted = false;
    QString countedBy;
};

class Review : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        QString why;
        db = TestDatabase::create(GetParam(), &why);
        if (!db)
            GTEST_SKIP() << why.toStdString();
        db->makeShared();
        EditUser().gsUserID = QStringLiteral("CLERK");
        // no, last, in, out, lost, count, price, stamped
        item("A1", 10, 5, 3, 1, 11, 10, true);      // no difference
        item("A2", 100, 0, 0, 0, 97, 20, true);     // 3 %, 60: under both thresholds
        item("A3", 100, 0, 0, 0, 94, 2, true);      // 6 %
        item("A4", 1000, 0, 0, 0, 1010, 150, true); // 1 %, but 1,500
        item("A5", 0, 0, 0, 0, 2, 5, true);         // a count where the book has none
        item("A6", 8, 0, 0, 0, 0, 3, false);        // nobody counted: closing 0
        item("A7", 4, 0, 0, 0, 4, 3, false);        // nobody counted: closing the book
        item("A8", 5, 0, 0, 0, 5, 1, true);         // marked for recount
        item("A9", 50, 0, 0, 0, 50, 7, false);      // counted below by count lines
        // Shown in its use unit (12 a box): book 36, count 30, price 120 a box = 10.
        item("U1", 2, 1, 0, 0, 2.5, 120, true, QStringLiteral("瓶"), 12);
    }

    void item(const QString &no, double last, double in, double out, double lost, double count,
              double price, bool stamped, const QString &useUnit = QString(), double factor = 1)
    {
        db->exec(QStringLiteral("insert into STK (STKNo, STKName, STKDscp, Unit, UUnit, UQty, "
                                "STKFlag, LType, Buyprice, AvgPrice) values ('%1', '品%1', '', "
                                "'箱', '%2', %3, 'Y', 'A', 0, 0);\n")
                     .arg(no, useUnit)
                     .arg(factor));
        db->exec(QStringLiteral("insert into STOCK (DeptNo, StkDate, STKNo, LastQty, InQty, "
                                "OutQty, LostQty, STKQty, AvgPrice, UserID, UpdUserID, UpdDate) "
                                "values ('A01', %1, '%2', %3, %4, %5, %6, %7, %8, 'MAKER', %9, "
                                "%10);\n")
                     .arg(QuotDate(period.end), no)
                     .arg(last)
                     .arg(in)
                     .arg(out)
                     .arg(lost)
                     .arg(count)
                     .arg(price)
                     .arg(stamped ? QStringLiteral("'BOSS'") : QStringLiteral("'MAKER'"),
                          stamped ? Dialect().gsDBDate : QStringLiteral("NULL")));
    }

    void load()
    {
        counting.start(period, true);
        ASSERT_TRUE(counting.load(QStringLiteral(" Where DeptNo = 'A01' And STKDate = ") +
                                      QuotDate(period.end),
                                  QStringLiteral(" Order by STKNo ")));
    }

    int indexOf(const QString &no) const
    {
        for (int i = 0; i < counting.month().size(); ++i)
            if (counting.month().text(i, StockColumns::ColSTKNo) == no)
                return i;
        return -1;
    }

    // The review as computed here from the records and count lines, in its order.
    QList<Expected> expected(double pct, double amount) const
    {
        // Count lines: the newest current count line per record, and the newest mark with
        // no count after it.
        QMap<QString, QString> countedBy;
        QMap<QString, bool> recount;
        Ado::Recordset lines = db->connection()->execute(
            QStringLiteral("Select RNo, UserID, Kind, Qty, VoidDate From STOCKCNT Order By CntNo"));
        for (; !lines.eof(); lines.moveNext()) {
            const QString rno = lines.text(0);
            if (lines.text(2) == QLatin1String("M")) {
                recount[rno] = lines.number(3) != 0;
                continue;
            }
            recount.remove(rno);
            if (lines.text(4).isEmpty())
                countedBy[rno] = lines.text(1);
        }
        QList<Expected> rows;
        Ado::Recordset rs = db->connection()->execute(QStringLiteral(
            "Select s.RNo, s.STKNo, s.LastQty + s.InQty - s.OutQty - s.LostQty, s.STKQty, "
            "s.AvgPrice, s.UpdUserID, s.UpdDate, k.UQty From STOCK s, STK k "
            "Where k.STKNo = s.STKNo And s.DeptNo = 'A01'"));
        for (; !rs.eof(); rs.moveNext()) {
            const QString rno = rs.text(0);
            const double factor = rs.number(7);
            const auto shown = [&](double qty) { return std::round(qty * factor * 10) / 10; };
            const double book = shown(rs.number(2));
            const double price = std::round(rs.number(4) / factor * 100) / 100;
            Expected e;
            e.stkNo = rs.text(1);
            e.difference = shown(rs.number(3)) - book;
            e.value = std::round(e.difference * price * 100) / 100;
            e.recount = recount.value(rno);
            e.notCounted = !countedBy.contains(rno) && rs.text(6).isEmpty();
            e.countedBy = countedBy.contains(rno) ? countedBy[rno]
                          : e.notCounted          ? QString()
                                                  : rs.text(5);
            const bool over = (book == 0 ? std::abs(e.difference) > 1e-9
                                         : std::abs(e.difference) > pct / 100 * std::abs(book)) ||
                              std::abs(e.value) > amount;
            if (over || e.recount || e.notCounted)
                rows.append(e);
        }
        std::ranges::sort(rows, [](const Expected &a, const Expected &b) {
            return std::abs(a.value) != std::abs(b.value) ? std::abs(a.value) > std::abs(b.value)
                                                          : a.stkNo < b.stkNo;
        });
        return rows;
    }

    void expectReview(double pct, double amount)
    {
        const VarianceReview review = ReviewVariances(counting, {pct, amount});
        const QList<Expected> rows = expected(pct, amount);
        QStringList got;
        QStringList want;
        for (const VarianceLine &line : review.lines)
            got << line.stkNo;
        for (const Expected &e : rows)
            want << e.stkNo;
        ASSERT_EQ(got, want) << "thresholds " << pct << " % / " << amount;
        double gains = 0;
        double losses = 0;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const VarianceLine &line = review.lines[i];
            const Expected &e = rows[i];
            SCOPED_TRACE(e.stkNo.toStdString());
            EXPECT_NEAR(line.difference, e.difference, 1e-9);
            EXPECT_NEAR(line.value, e.value, 1e-9);
            EXPECT_EQ(line.recount, e.recount);
            EXPECT_EQ(line.notCounted, e.notCounted);
            EXPECT_EQ(line.countedBy, e.countedBy);
            EXPECT_EQ(line.countedAt.isEmpty(), e.notCounted);
            (e.value > 0 ? gains : losses) += e.value;
        }
        EXPECT_NEAR(review.totals.gains, gains, 1e-9);
        EXPECT_NEAR(review.totals.losses, losses, 1e-9);
        EXPECT_NEAR(review.totals.net, gains + losses, 1e-9);
        EXPECT_EQ(review.totals.rows, rows.size());
    }

    const StockMonth::Period period{2003, 1, QStringLiteral("A01"), QDate(2003, 1, 31)};
    std::unique_ptr<TestDatabase> db;
    StockCounting counting;
};

TEST_P(Review, ListsWhatTheRecordsSay)
{
    load();
    ASSERT_TRUE(counting.countLinesOn());
    // A clerk counts A9 at a location; the manager marks A8 for recount.
    counting.setLocation(QStringLiteral("貨架"));
    ASSERT_EQ(counting.enterCount(indexOf("A9"), true, 40, 100).result, EditOutcome::Written);
    counting.markRecount(indexOf("A8"), true);

    const VarianceReview review = ReviewVariances(counting, {5, 1000});
    // What this month must give whatever the computation below says.
    QStringList order;
    for (const VarianceLine &line : review.lines)
        order << line.stkNo;
    EXPECT_EQ(order, QStringList({"A4", "A9", "U1", "A6", "A3", "A5", "A7", "A8"}));
    EXPECT_EQ(review.totals.gains, 1510);
    EXPECT_EQ(review.totals.losses, -70 - 60 - 24 - 12);
    EXPECT_EQ(review.totals.rows, 8);
    EXPECT_EQ(review.lines[1].countedBy, "CLERK");

    expectReview(5, 1000);
    expectReview(10, 50);        // A3 leaves, A2 (60) joins
    expectReview(0, 0);          // every difference
    expectReview(100, 99999999); // the marked, the uncounted and a count with no book

    // The mark cleared: A8 (no difference) leaves the review.
    counting.markRecount(indexOf("A8"), false);
    expectReview(5, 1000);
    EXPECT_EQ(LargestVariances(ReviewVariances(counting, {5, 1000}), 3).size(), 3);
}

TEST(VarianceThresholdsTest, TypedThresholdsAreCheckedAndParametersFallBack)
{
    double value = 7;
    QString why;
    EXPECT_TRUE(VarianceThresholds::parsePct(QStringLiteral(" 12.5 "), &value, &why));
    EXPECT_EQ(value, 12.5);
    EXPECT_TRUE(VarianceThresholds::parseAmount(QStringLiteral("１,５００"), &value, &why));
    EXPECT_EQ(value, 1500);
    for (const char *bad : {"abc", "", "-1", "101", "5%"}) {
        value = 7;
        EXPECT_FALSE(VarianceThresholds::parsePct(QString::fromUtf8(bad), &value, &why)) << bad;
        EXPECT_FALSE(why.isEmpty());
        EXPECT_EQ(value, 7);
    }
    EXPECT_FALSE(VarianceThresholds::parseAmount(QStringLiteral("100000000"), &value, &why));
    EXPECT_TRUE(VarianceThresholds::parseAmount(QStringLiteral("99,999,999"), &value, &why));
}

INSTANTIATE_TEST_SUITE_P(Backends, Review, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto &info) { return BackendName(info.param); });

} // namespace
