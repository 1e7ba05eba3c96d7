// The month's counting without any window, on a real database: loading, counts written and
// refused, another workstation's writes taken up (and held back from a row being edited),
// items brought into the month and added to it.
#include "common/state.h"
#include "data/adodb.h"
#include "platform/db/transaction.h"
#include "stock/monthwatch.h"
#include "stock/stockcalc.h"
#include "stock/stockcolumns.h"
#include "stock/stockcounting.h"
#include "support/modal.h"
#include "support/testdatabase.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using C = StockColumns;

class Counting : public ::testing::TestWithParam<Backend>
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
        for (const char *no : {"A1", "A2", "B1"})
            db->exec(QStringLiteral("insert into STK (STKNo, STKName, STKDscp, Unit, UUnit, UQty, "
                                    "STKFlag, LType, Buyprice, AvgPrice) values ('%1', '品%1', "
                                    "'', '個', '', 1, 'Y', 'A', 0, 0);\n")
                         .arg(QLatin1String(no)));
        a1 = stock("A1", 10, 5, 15);
        a2 = stock("A2", 0, 4, 4);
    }

    QString stock(const QString &no, double last, double in, double count)
    {
        db->exec(QStringLiteral("insert into STOCK (DeptNo, StkDate, STKNo, LastQty, InQty, "
                                "STKQty, AvgPrice, UserID, UpdUserID) values ('A01', %1, '%2', "
                                "%3, %4, %5, 2, 'MAKER', 'MAKER');\n")
                     .arg(QuotDate(period.end), no)
                     .arg(last)
                     .arg(in)
                     .arg(count));
        return db->scalar(QStringLiteral("select RNo from STOCK where STKNo = '%1'").arg(no));
    }

    int indexOf(const QString &no) const
    {
        for (int i = 0; i < counting.month().size(); ++i)
            if (counting.month().text(i, C::ColSTKNo) == no)
                return i;
        return -1;
    }
    QString shown(const QString &no, int col) const
    {
        return counting.month().text(indexOf(no), col);
    }
    // Waits for the counting to take up other workstations' writes.
    bool waitForShown(const QString &no, int col, const QString &text)
    {
        return TestModal::waitFor([&] {
            counting.checkElsewhere();
            return indexOf(no) >= 0 && shown(no, col) == text;
        });
    }

    const StockMonth::Period period{2003, 1, QStringLiteral("A01"), QDate(2003, 1, 31)};
    const QString conditions = QStringLiteral(" Where DeptNo = 'A01' And STKDate = ");
    std::unique_ptr<TestDatabase> db;
    StockCounting counting;
    QString a1, a2;
};

TEST_P(Counting, AMonthCountedWithoutWindows)
{
    QSignalSpy resets(&counting, &StockCounting::reset);
    QSignalSpy changed(&counting, &StockCounting::rowChanged);
    QSignalSpy elsewhere(&counting, &StockCounting::rowChangedElsewhere);
    QSignalSpy appended(&counting, &StockCounting::rowAppended);

    counting.start(period, false);
    ASSERT_TRUE(
        counting.load(conditions + QuotDate(period.end), QStringLiteral(" Order by STKNo ")));
    EXPECT_GE(resets.count(), 1);
    ASSERT_EQ(counting.month().size(), 2);
    EXPECT_EQ(shown("A1", C::ColName), "品A1");

    // A count: usage follows, stamped with the clerk, the row holds what was stored.
    const int i1 = indexOf("A1");
    EXPECT_EQ(counting.enterCount(i1, false, 12, 100).result, EditOutcome::Written);
    EXPECT_EQ(db->scalar("select STKQty from STOCK where RNo = " + a1).toDouble(), 12);
    EXPECT_EQ(db->scalar("select UseQty from STOCK where RNo = " + a1).toDouble(), 3);
    EXPECT_EQ(db->scalar("select UpdUserID from STOCK where RNo = " + a1), "CLERK");
    EXPECT_EQ(shown("A1", C::ColSTKQty), "12");
    EXPECT_EQ(shown("A1", C::ColUpdUserID), "CLERK");
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_EQ(changed.takeLast().at(0).toInt(), i1);

    // Another workstation's count: taken up, told as a change from elsewhere.
    db->countElsewhere(a2, 7);
    ASSERT_TRUE(waitForShown("A2", C::ColSTKQty, "7"));
    EXPECT_EQ(shown("A2", C::ColUpdUserID), "OTHER");
    ASSERT_FALSE(elsewhere.isEmpty());
    EXPECT_EQ(elsewhere.takeLast().at(0).toInt(), indexOf("A2"));

    // Not yet taken up when the clerk counts: refused, the other count kept and shown.
    counting.setEditedRow([&] { return i1; }); // ... while the clerk edits A1
    db->countElsewhere(a1, 20);
    counting.checkElsewhere();
    EXPECT_EQ(shown("A1", C::ColSTKQty), "12") << "a row being edited changes under the clerk";
    const EditOutcome refused = counting.enterCount(i1, false, 13, 100);
    EXPECT_EQ(refused.result, EditOutcome::ChangedElsewhere);
    EXPECT_EQ(db->scalar("select STKQty from STOCK where RNo = " + a1).toDouble(), 20);
    EXPECT_EQ(db->scalar("select UpdUserID from STOCK where RNo = " + a1), "OTHER");
    EXPECT_EQ(shown("A1", C::ColSTKQty), "20");
    counting.setEditedRow({});

    // The price: the amount follows.
    EXPECT_EQ(counting.enterPrice(i1, 3).result, EditOutcome::Written);
    EXPECT_EQ(db->scalar("select STKAmt from STOCK where RNo = " + a1).toDouble(), 60);

    // An item the month lacks: built from the period, inserted, appended; scanned again,
    // the same row, no second record.
    StockCalcInput input;
    input.year = period.year;
    input.month = period.month;
    input.deptNo = period.deptNo;
    input.stkNo = QStringLiteral("B1");
    input.userID = User().gsUserID;
    const int b1 = counting.addItem(input);
    ASSERT_EQ(b1, 2);
    ASSERT_FALSE(appended.isEmpty());
    EXPECT_EQ(appended.takeLast().at(0).toInt(), b1);
    EXPECT_EQ(shown("B1", C::ColSTKNo), "B1");
    EXPECT_EQ(shown("B1", C::ColUserID), "CLERK");
    EXPECT_EQ(counting.addItem(input), b1);
    EXPECT_EQ(db->scalar("select count(*) from STOCK where STKNo = 'B1'").toInt(), 1);
    EXPECT_EQ(counting.enterCount(b1, false, 2, 100).result, EditOutcome::Written);
    EXPECT_EQ(db->scalar("select STKQty from STOCK where STKNo = 'B1'").toDouble(), 2);

    // Loaded again: the month holds what the database holds.
    const QString a1Texts = shown("A1", C::ColSTKQty) + shown("A1", C::ColAvgPrice);
    ASSERT_TRUE(
        counting.load(conditions + QuotDate(period.end), QStringLiteral(" Order by STKNo ")));
    EXPECT_EQ(counting.month().size(), 3);
    EXPECT_EQ(shown("A1", C::ColSTKQty) + shown("A1", C::ColAvgPrice), a1Texts);
}

// A change elsewhere to the row being edited waits until the editing ends.
// Another workstation's import: records written in one transaction and announced together,
// every one taken up here.
TEST_P(Counting, RowsWrittenTogetherElsewhereAreAllTakenUp)
{
    counting.start(period, false);
    ASSERT_TRUE(
        counting.load(conditions + QuotDate(period.end), QStringLiteral(" Order by STKNo ")));
    Ado::ConnectionPtr other = db->open();
    Ado::Transaction transaction(*other);
    for (const QString &rno : {a1, a2})
        other->executeNonQuery(QStringLiteral("update STOCK set STKQty = 30, UpdUserID = 'OTHER', "
                                              "UpdDate = %1 where RNo = %2")
                                   .arg(Dialect().gsDBDate, rno));
    AnnounceStockWrites(other, {a1.toDouble(), a2.toDouble()});
    transaction.commit();
    EXPECT_TRUE(waitForShown("A1", C::ColSTKQty, "30"));
    EXPECT_TRUE(waitForShown("A2", C::ColSTKQty, "30"));
}

TEST_P(Counting, ARowBeingEditedTakesUpOtherWritesWhenLetGo)
{
    counting.start(period, false);
    ASSERT_TRUE(
        counting.load(conditions + QuotDate(period.end), QStringLiteral(" Order by STKNo ")));
    int edited = indexOf("A2");
    counting.setEditedRow([&] { return edited; });
    db->countElsewhere(a2, 9);
    QElapsedTimer held;
    held.start();
    while (held.elapsed() < 800) {
        counting.checkElsewhere();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(shown("A2", C::ColSTKQty), "4");
    edited = -1;
    EXPECT_TRUE(TestModal::waitFor([&] { return shown("A2", C::ColSTKQty) == "9"; }));
}

// Count lines: clerks at two workstations count one item in two locations (the count is
// the sum), disagree on one location (marked for recount until confirmed), scan another item
// piece by piece, undo, and import; every record equals the sum of its current lines.
TEST_P(Counting, CountLinesAddUpByLocation)
{
    const QString where = conditions + QuotDate(period.end);
    const auto as = [](const char *user) { EditUser().gsUserID = QLatin1String(user); };
    const auto stored = [&](const QString &rno) {
        return db->scalar("select STKQty from STOCK where RNo = " + rno).toDouble();
    };
    const auto linesSum = [&](const QString &rno) {
        return db
            ->scalar("select coalesce(sum(Qty), 0) from STOCKCNT where VoidDate is null "
                     "and RNo = " +
                     rno)
            .toDouble();
    };
    // The second workstation: a counting of its own on a connection of its own.
    StockCounting other;
    const Ado::ConnectionPtr here = Conn().gCNT, there = db->open();
    const auto atOther = [&](const std::function<void()> &step) {
        EditConn().gCNT = there;
        as("CLERK2");
        step();
        EditConn().gCNT = here;
        as("CLERK");
    };
    counting.start(period, false);
    ASSERT_TRUE(counting.load(where, QStringLiteral(" Order by STKNo ")));
    ASSERT_TRUE(counting.countLinesOn());
    atOther([&] {
        other.start(period, false);
        ASSERT_TRUE(other.load(where, QStringLiteral(" Order by STKNo ")));
    });
    const int i1 = indexOf("A1"), i2 = indexOf("A2");

    // Two locations: the second clerk's count of the back room adds to the shelf's, although
    // their screen had not yet taken up the shelf's count.
    counting.setLocation(QStringLiteral("貨架"));
    ASSERT_EQ(counting.enterCount(i1, false, 5, 100).result, EditOutcome::Written);
    other.setLocation(QStringLiteral("倉庫"));
    atOther([&] { ASSERT_EQ(other.enterCount(i1, false, 3, 100).result, EditOutcome::Written); });
    EXPECT_EQ(stored(a1), 8);
    EXPECT_EQ(db->scalar("select UseQty from STOCK where RNo = " + a1).toDouble(), 7);
    EXPECT_EQ(other.month().text(i1, C::ColSTKQty), "8");
    ASSERT_TRUE(waitForShown("A1", C::ColSTKQty, "8"));
    EXPECT_EQ(counting.rowCount(i1).current.size(), 2);
    EXPECT_FALSE(counting.rowCount(i1).recount);

    // The shelf counted again by the other clerk, differently: marked on both screens; the
    // first clerk's line is kept, voided by the second.
    other.setLocation(QStringLiteral("貨架"));
    atOther([&] { ASSERT_EQ(other.enterCount(i1, false, 6, 100).result, EditOutcome::Written); });
    EXPECT_EQ(stored(a1), 9);
    EXPECT_TRUE(other.rowCount(i1).recount);
    ASSERT_TRUE(waitForShown("A1", C::ColSTKQty, "9"));
    EXPECT_TRUE(counting.rowCount(i1).recount);
    EXPECT_EQ(db->scalar("select VoidUserID from STOCKCNT where UserID = 'CLERK'"), "CLERK2");
    // ... and confirmed: cleared.
    ASSERT_EQ(counting.enterCount(i1, false, 6, 100).result, EditOutcome::Written);
    EXPECT_FALSE(counting.rowCount(i1).recount);
    EXPECT_EQ(stored(a1), 9);

    // Scan counting: each scan adds to the location's line; the stored count of a row with no
    // line gives way to the first line. Undo takes the last change back as a change of its
    // own (so a second undo redoes it): the first line's undo brings back the count the row
    // had before it.
    counting.setLocation(QString());
    ASSERT_EQ(counting.scanCount(i2, false, 1, 100).result, EditOutcome::Written);
    EXPECT_EQ(stored(a2), 1);
    ASSERT_EQ(counting.undoLastCount(i2, false, 100).result, EditOutcome::Written);
    EXPECT_EQ(stored(a2), 4);
    EXPECT_FALSE(counting.rowCount(i2).hasLines());
    ASSERT_EQ(counting.undoLastCount(i2, false, 100).result, EditOutcome::Written);
    EXPECT_EQ(stored(a2), 1);
    ASSERT_EQ(counting.scanCount(i2, false, 12, 100).result, EditOutcome::Written);
    EXPECT_EQ(stored(a2), 13);
    EXPECT_EQ(counting.month().text(i2, C::ColSTKQty), "13");
    ASSERT_EQ(counting.undoLastCount(i2, false, 100).result, EditOutcome::Written);
    EXPECT_EQ(stored(a2), 1);
    EXPECT_EQ(counting.month().text(i2, C::ColSTKQty), "1");
    ASSERT_EQ(counting.undoLastCount(i2, false, 100).result, EditOutcome::Written);
    EXPECT_EQ(stored(a2), 13);
    EXPECT_EQ(db->scalar("select count(*) from STOCKCNT where Kind = 'S' and RNo = " + a2).toInt(),
              2);
    EXPECT_EQ(db->scalar("select count(*) from STOCKCNT where Kind = 'U' and RNo = " + a2).toInt(),
              3);

    // The manager's mark: set and cleared by hand, never a count, never undone; the next
    // count decides again.
    counting.markRecount(i2, true);
    EXPECT_TRUE(counting.rowCount(i2).recount);
    EXPECT_EQ(stored(a2), 13);
    ASSERT_EQ(counting.undoLastCount(i2, false, 100).result, EditOutcome::Written);
    EXPECT_EQ(stored(a2), 1); // the last count undone, not the mark
    ASSERT_EQ(counting.undoLastCount(i2, false, 100).result, EditOutcome::Written);
    EXPECT_EQ(stored(a2), 13);
    EXPECT_FALSE(counting.rowCount(i2).recount);
    counting.markRecount(i1, false);
    EXPECT_FALSE(counting.rowCount(i1).recount);
    counting.markRecount(i1, true);
    EXPECT_TRUE(counting.rowCount(i1).recount);

    // Import: every line in one transaction; one row whose book figures changed meanwhile
    // refuses the whole import.
    const auto bookKept = [](int) { return false; };
    db->exec("update STOCK set InQty = 9 where RNo = " + a2 + ";\n");
    const int linesBefore = db->scalar("select count(*) from STOCKCNT").toInt();
    const EditOutcome refused =
        counting.applyImport({{i1, QStringLiteral("倉庫"), 4}, {i2, QString(), 2}}, bookKept, 100);
    EXPECT_EQ(refused.result, EditOutcome::ChangedElsewhere);
    EXPECT_EQ(db->scalar("select count(*) from STOCKCNT").toInt(), linesBefore);
    EXPECT_EQ(stored(a1), 9);
    EXPECT_EQ(counting.month().text(i2, C::ColInQty), "9"); // the row shows it now
    ASSERT_EQ(
        counting.applyImport({{i1, QStringLiteral("倉庫"), 4}, {i2, QString(), 2}}, bookKept, 100)
            .result,
        EditOutcome::Written);
    EXPECT_EQ(stored(a1), 10);
    EXPECT_EQ(stored(a2), 2); // the empty location's line: 13 before
    EXPECT_EQ(db->scalar("select count(*) from STOCKCNT where Kind = 'I'").toInt(), 2);

    for (const QString &rno : {a1, a2})
        EXPECT_EQ(stored(rno), linesSum(rno)) << rno.toStdString();
}

// A database where the clerk may not create tables and STOCKCNT is missing: the count is
// kept as the suite keeps it, said once.
TEST(CountingWithoutLineTable, AClerkWhoMayNotCreateTablesCountsAsTheSuiteDoes)
{
    QString why;
    const auto db = TestDatabase::createSuiteTables(Backend::PostgreSQL, &why);
    if (!db)
        GTEST_SKIP() << why.toStdString();
    const QString base = db->connectionString(false);
    const QString role =
        QStringLiteral("clerk_") +
        base.section(QStringLiteral("Location="), 1).section(QLatin1Char(';'), 0, 0);
    db->exec(QStringLiteral("create role %1 login password 'pw';\n"
                            "grant select, insert, update, delete on all tables in schema public "
                            "to %1;\n"
                            "grant usage, select on all sequences in schema public to %1;\n"
                            "revoke create on schema public from public;\n")
                 .arg(role));
    db->exec("insert into STK (STKNo, STKName, Unit, UQty, STKFlag) values ('A1', '品', '個', 1, "
             "'Y');\n"
             "insert into STOCK (DeptNo, StkDate, STKNo, LastQty, InQty, STKQty, AvgPrice, "
             "UserID, UpdUserID) values ('A01', '2003-01-31', 'A1', 10, 5, 15, 2, 'M', 'M');\n");
    const auto clerk =
        Ado::Connection::open(base.section(QStringLiteral("User ID="), 0, 0) +
                              QStringLiteral("User ID=") + role + QStringLiteral(";Password=pw"));
    EditConn().gCNT = clerk;
    SetDBType(nullptr);
    EditUser().gsUserID = QStringLiteral("CLERK");

    StockCounting counting;
    QSignalSpy unavailable(&counting, &StockCounting::countLinesUnavailable);
    const StockMonth::Period period{2003, 1, QStringLiteral("A01"), QDate(2003, 1, 31)};
    counting.start(period, false);
    counting.setLocation(QStringLiteral("貨架"));
    ASSERT_TRUE(
        counting.load(QStringLiteral(" Where DeptNo = 'A01' And STKDate = ") + QuotDate(period.end),
                      QStringLiteral(" Order by STKNo ")));
    EXPECT_FALSE(counting.countLinesOn());
    EXPECT_EQ(unavailable.count(), 1);
    EXPECT_EQ(counting.enterCount(0, false, 12, 100).result, EditOutcome::Written);
    EXPECT_EQ(db->scalar("select STKQty from STOCK").toDouble(), 12);
    EXPECT_EQ(db->scalar("select UseQty from STOCK").toDouble(), 3);
    EXPECT_EQ(counting.scanCount(0, false, 1, 100).result, EditOutcome::LinesOff);
    EXPECT_EQ(db->scalar("select STKQty from STOCK").toDouble(), 12);
    counting.start(period, false); // the next query: not said again
    EXPECT_EQ(unavailable.count(), 1);
    EXPECT_TRUE(db->scalar("select to_regclass('stockcnt')").isEmpty());
    EditConn().gCNT.reset();
    db->exec(QStringLiteral("drop owned by %1;\ndrop role %1;\n").arg(role));
}

INSTANTIATE_TEST_SUITE_P(Databases, Counting,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const ::testing::TestParamInfo<Backend> &info) {
                             return BackendName(info.param);
                         });

} // namespace
