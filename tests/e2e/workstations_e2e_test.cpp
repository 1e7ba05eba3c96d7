// Two users counting one month together, each at a workstation of their own (a program
// tree and settings store of its own, started through the menu) under one X server, on one
// PostgreSQL database and on one shared SQLite file, in sequence:
//  - the same row counted on both: the second is told, sees the first count, overwrites
//    nothing, and its count stands once typed again;
//  - receipts raised after the second workstation loaded a row: its count is refused as
//    stale, and once typed again stored with usage and amount following the record as it
//    now is;
//  - a row held by another session while counted: refused within the connection's lock
//    wait (2 s here), nothing written, the next count written after the release;
//  - an item added and a count made on the first workstation show on the second within
//    about two seconds without anybody touching it (read back from its grid through the
//    stock report's CSV).
// After every step every record of the month has figures that agree with each other and
// the stamp of the user whose figures they are.
#include "twoworkstations.h"

#include "common/numtext.h"
#include "platform/db/connection.h"
#include "platform/db/transaction.h"
#include "support/pgdatabase.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

using namespace E2E;

namespace {

constexpr int LockWaitMs = 2000;

class TwoUsers : public TwoWorkstations
{
protected:
    void SetUp() override
    {
        // A short lock wait, so that the refusal comes quickly.
        setUpRun(QStringLiteral("workstations"),
                 QStringLiteral(";Lock Wait=%1").arg(LockWaitMs / 1000.0));
    }

    QString stockOf(const QString &itemNo, const QString &fields) const
    {
        Ado::Recordset rs = m_db->execute(QStringLiteral("Select ") + fields +
                                          QStringLiteral(" From STOCK") + where(itemNo));
        if (rs.eof())
            return QStringLiteral("<no row>");
        QStringList values;
        for (int i = 0; i < rs.fieldCount(); ++i)
            values << rs.text(i);
        return values.join(QLatin1Char('|'));
    }

    QString countOf(const QString &itemNo) const
    {
        return stockOf(itemNo, QStringLiteral("STKQty, UpdUserID"));
    }

    QString waitCount(const QString &itemNo, const QString &expected) const
    {
        QDeadlineTimer deadline(10000);
        QString last;
        do {
            last = countOf(itemNo);
            if (last == expected)
                break;
            Pause(200);
        } while (!deadline.hasExpired());
        return last;
    }

    // Every record of the month: usage or adjustment follows its own quantities (which of
    // the two depends on whether the item is book-kept: one of them must), the amount its
    // count and price; and the stamp is the expected user's where one is named.
    void checkMonth(const QString &step, const QHash<QString, QString> &stamps) const
    {
        int records = 0;
        Ado::Recordset rs = m_db->execute(
            QStringLiteral("Select STKNo, LastQty, InQty, OutQty, LostQty, AdjustQty, UseQty, "
                           "STKQty, STKAmt, AvgPrice, UpdUserID From STOCK Where DeptNo = 'A01' "
                           "And StkDate = ") +
            kPeriodEnd);
        for (; !rs.eof(); rs.moveNext()) {
            ++records;
            const QString item = rs.text(0);
            const double book = rs.number(1) + rs.number(2) - rs.number(3) - rs.number(4);
            const double adjust = rs.number(5), use = rs.number(6), count = rs.number(7);
            const bool usageFollows = std::abs(use - (book - count)) < 0.006;
            const bool adjustmentFollows = std::abs(adjust - (count - book)) < 0.006;
            EXPECT_TRUE(usageFollows || adjustmentFollows)
                << step.toStdString() << ": " << item.toStdString() << " has book " << book
                << ", count " << count << ", usage " << use << ", adjustment " << adjust;
            EXPECT_NEAR(rs.number(8), count * rs.number(9), 0.011)
                << step.toStdString() << ": the amount of " << item.toStdString();
            if (stamps.contains(item)) {
                EXPECT_EQ(rs.text(10), stamps.value(item))
                    << step.toStdString() << ": the stamp of " << item.toStdString();
            }
        }
        EXPECT_GT(records, 0);
    }

    // The item's figures set to nothing with a known stamp: any count from 0 on is taken
    // without a question, and the record agrees with itself.
    void clearRecord(const QString &itemNo) const
    {
        m_db->executeNonQuery(
            QStringLiteral("Update STOCK Set LastQty = 0, LastAmt = 0, InQty = 0, InAmt = 0, "
                           "OutQty = 0, OutAmt = 0, LostQty = 0, LostAmt = 0, ChkQty = 0, "
                           "AdjustQty = 0, UseQty = 0, STKQty = 0, STKAmt = 0, UpdUserID = 'OLD'") +
            where(itemNo));
    }

    // The grid of a workstation, read back through its stock report.
    QHash<QString, QString> shownCounts(Stocktaker &user, const QString &name) const
    {
        const QHash<QString, QString> counts = user.shownCounts(QDir(m_dir).filePath(name));
        EXPECT_FALSE(counts.isEmpty()) << "the stock report could not be read back";
        return counts;
    }

    // How many pixels of the message line (the bottom strip of the screen, between the exit
    // button and the user name) differ between two screenshots.
    int messageLineChange(const QString &shotA, const QString &shotB) const
    {
        const QImage a(QDir(m_dir).filePath(shotA + QStringLiteral(".png")));
        const QImage b(QDir(m_dir).filePath(shotB + QStringLiteral(".png")));
        if (a.isNull() || a.size() != b.size())
            return -1;
        int changed = 0;
        for (int y = a.height() - 50; y < a.height() - 10; ++y)
            for (int x = 100; x < a.width() - 80; ++x)
                changed += a.pixel(x, y) != b.pixel(x, y);
        return changed;
    }

    void exitProgram(Stocktaker &user, ProgramCopy &program)
    {
        EXPECT_TRUE(user.exitAndWait(program)) << "the program did not end after Yes";
    }
};

} // namespace

TEST_P(TwoUsers, OneMonth)
{
    QStringList items;
    for (Ado::Recordset rs = m_db->execute(
             QStringLiteral("Select STKNo From STOCK Where DeptNo = 'A01' And StkDate = ") +
             kPeriodEnd + QStringLiteral(" Order By STKNo"));
         !rs.eof() && items.size() < 4; rs.moveNext())
        items << rs.text(0);
    ASSERT_EQ(items.size(), 4);
    const QString same = items[0], raised = items[1], locked = items[2], elsewhere = items[3];
    const QString added = scalar(
        m_db, QStringLiteral("Select min(STKNo) From STK Where STKNo Not In (Select STKNo From "
                             "STOCK Where DeptNo = 'A01' And StkDate = ") +
                  kPeriodEnd + QStringLiteral(")"));
    ASSERT_NE(added, QStringLiteral("<no row>"));
    for (const QString &item : std::as_const(items))
        clearRecord(item);
    QHash<QString, QString> stamps;
    for (const QString &item : std::as_const(items))
        stamps.insert(item, QStringLiteral("OLD"));
    checkMonth(QStringLiteral("before"), stamps);

    ProgramCopy first, second;
    Stocktaker demo(*m_x, first, QStringLiteral("demo-"));
    Stocktaker clerk(*m_x, second, QStringLiteral("clerk-"));
    startSession(demo, handOver(QStringLiteral("DEMO"), QStringLiteral("ADMIN")));
    startSession(clerk, handOver(QStringLiteral("CLERK"), QStringLiteral("CLERK")),
                 {demo.mainWindow()});
    ASSERT_NE(demo.mainWindow(), clerk.mainWindow());

    // 1. The same row. The clerk begins a count (the editor is open) while DEMO, at the other
    // screen, counts the row and commits it; the clerk's count is then refused and the row
    // shows DEMO's count.
    demo.scanItem(same);
    clerk.scanItem(same);
    m_x->activate(clerk.mainWindow());
    m_x->type(QStringLiteral("3"));
    m_x->typeTo(demo.mainWindow(), QStringLiteral("31"));
    m_x->keyTo(demo.mainWindow(), QStringLiteral("Return"));
    ASSERT_EQ(waitCount(same, QStringLiteral("31|DEMO")), QStringLiteral("31|DEMO"))
        << "the count typed at DEMO's screen was not written";
    Pause(2500); // the clerk's screen would have been refreshed by now, but for the editor
    clerk.shot(QStringLiteral("01-editing"));
    m_x->type(QStringLiteral("2"));
    m_x->key({QStringLiteral("Return")});
    EXPECT_EQ(clerk.answerBoxes(QStringLiteral("01-changed-elsewhere"), 3000), 1)
        << "the clerk was not told that DEMO had counted the row";
    EXPECT_EQ(countOf(same), QStringLiteral("31|DEMO")) << "DEMO's count was overwritten";
    // The refused count's editor shows the stored count; the clerk drops it.
    m_x->key({QStringLiteral("Escape")});
    EXPECT_EQ(shownCounts(clerk, QStringLiteral("01-clerk-told.csv")).value(same),
              QStringLiteral("31"))
        << "the clerk's grid does not show DEMO's count";
    clerk.scanItem(same);
    clerk.typeCount(QStringLiteral("32"));
    EXPECT_EQ(waitCount(same, QStringLiteral("32|CLERK")), QStringLiteral("32|CLERK"));
    stamps[same] = QStringLiteral("CLERK");
    checkMonth(QStringLiteral("same row"), stamps);

    // 2. Receipts raised after the clerk's screen was loaded (no workstation's write: no
    // stamp, no notification). The count is checked against the record as it now is.
    clerk.scanItem(raised);
    m_db->executeNonQuery(
        QStringLiteral("Update STOCK Set InQty = InQty + 10, InAmt = InAmt + 10 * AvgPrice") +
        where(raised));
    const QString raisedBefore = stockOf(raised, QStringLiteral("STKQty, UseQty, AdjustQty, "
                                                                "STKAmt, UpdUserID"));
    clerk.typeCount(QStringLiteral("25"));
    EXPECT_EQ(clerk.answerBoxes(QStringLiteral("02-receipts-raised"), 3000), 1)
        << "a count made against the figures before the receipts was not refused";
    EXPECT_EQ(stockOf(raised, QStringLiteral("STKQty, UseQty, AdjustQty, STKAmt, UpdUserID")),
              raisedBefore);
    m_x->key({QStringLiteral("Escape")});
    clerk.scanItem(raised);
    clerk.typeCount(QStringLiteral("25"));
    EXPECT_EQ(waitCount(raised, QStringLiteral("25|CLERK")), QStringLiteral("25|CLERK"));
    stamps[raised] = QStringLiteral("CLERK");
    checkMonth(QStringLiteral("receipts raised"), stamps);

    // 3. A row held by another session while the clerk counts it: refused within the lock
    // wait, nothing written; after the release the next count is written.
    clerk.scanItem(locked);
    const QString lockedBefore = stockOf(locked, QStringLiteral("STKQty, UpdUserID, UpdDate"));
    {
        const Ado::ConnectionPtr holder = Ado::Connection::open(m_dbString);
        auto hold = std::make_unique<Ado::Transaction>(*holder);
        if (GetParam() == Db::PostgreSQL)
            holder
                ->execute(QStringLiteral("Select RNo From STOCK") + where(locked) +
                          QStringLiteral(" For Update"))
                .close();
        else // a write transaction: SQLite locks the whole file for it
            holder->executeNonQuery(QStringLiteral("Update STOCK Set ChkQty = ChkQty") +
                                    where(locked));
        m_x->activate(clerk.mainWindow());
        clerk.shot(QStringLiteral("03-before"));
        QElapsedTimer waited;
        waited.start();
        m_x->type(QStringLiteral("7"));
        m_x->key({QStringLiteral("Return")});
        Pause(LockWaitMs / 2);
        clerk.shot(QStringLiteral("03-waiting"));
        // The window paints while it waits: its message line now says so.
        EXPECT_GT(messageLineChange(QStringLiteral("clerk-03-before"),
                                    QStringLiteral("clerk-03-waiting")),
                  200)
            << "the message line did not change while the count waited";
        const QString box = clerk.waitBox(QStringLiteral("^訊息視窗$"), LockWaitMs + 8000);
        const qint64 ms = waited.elapsed();
        EXPECT_FALSE(box.isEmpty()) << "no refusal while the row was held";
        EXPECT_GE(ms, LockWaitMs) << "refused without waiting for the lock";
        EXPECT_LT(ms, LockWaitMs + 4000) << "the refusal came late";
        std::printf("the refusal came %lld ms after Enter (lock wait %d ms)\n", ms, LockWaitMs);
        EXPECT_EQ(stockOf(locked, QStringLiteral("STKQty, UpdUserID, UpdDate")), lockedBefore);
        hold.reset(); // released: rolled back
    }
    EXPECT_EQ(clerk.answerBoxes(QStringLiteral("03-lock-refused"), 1000), 1);
    m_x->key({QStringLiteral("Escape")});
    EXPECT_EQ(stockOf(locked, QStringLiteral("STKQty, UpdUserID, UpdDate")), lockedBefore)
        << "the refused count was written";
    clerk.scanItem(locked);
    clerk.typeCount(QStringLiteral("7"));
    EXPECT_EQ(waitCount(locked, QStringLiteral("7|CLERK")), QStringLiteral("7|CLERK"))
        << "the count after the release was not written";
    stamps[locked] = QStringLiteral("CLERK");
    checkMonth(QStringLiteral("row held"), stamps);

    // 4. DEMO adds an item by scanning it and counts another row; the clerk's screen, left
    // alone, shows both about two seconds after the count.
    m_x->activate(demo.mainWindow());
    demo.scanItem(added, 3000);
    ASSERT_EQ(waitScalar(m_db, QStringLiteral("Select count(*) From STOCK") + where(added),
                         QStringLiteral("1")),
              QStringLiteral("1"))
        << "scanning " << added.toStdString() << " added no record";
    demo.scanItem(elsewhere);
    m_x->type(QStringLiteral("41"));
    m_x->key({QStringLiteral("Return")});
    ASSERT_EQ(waitCount(elsewhere, QStringLiteral("41|DEMO")), QStringLiteral("41|DEMO"));
    Pause(2000);
    const QHash<QString, QString> shown = shownCounts(clerk, QStringLiteral("04-clerk.csv"));
    EXPECT_EQ(shown.value(elsewhere), QStringLiteral("41"))
        << "DEMO's count does not show on the clerk's screen";
    EXPECT_TRUE(shown.contains(added)) << "the item DEMO added does not show on the clerk's screen";
    EXPECT_EQ(shown.value(added), stockOf(added, QStringLiteral("STKQty")));
    EXPECT_EQ(shown.value(same), QStringLiteral("32"));
    stamps[elsewhere] = QStringLiteral("DEMO");
    stamps[added] = QStringLiteral("DEMO");
    checkMonth(QStringLiteral("added and counted elsewhere"), stamps);

    EXPECT_EQ(demo.answerBoxes(QStringLiteral("unexpected"), 500), 0);
    EXPECT_TRUE(first.programRunning());
    EXPECT_TRUE(second.programRunning());
    exitProgram(clerk, second);
    exitProgram(demo, first);
    EXPECT_EQ(first.errorRecords(), 0) << first.logFile(QStringLiteral("TOVRAN.ERR")).toStdString();
    EXPECT_EQ(second.errorRecords(), 0)
        << second.logFile(QStringLiteral("TOVRAN.ERR")).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Workstations, TwoUsers, ::testing::Values(Db::SQLite, Db::PostgreSQL),
                         DbName);
