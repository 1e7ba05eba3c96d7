// Several workstations on one month: the stock window and a second connection that counts,
// locks and adds records as another workstation does. Nothing is overwritten, no edit waits
// without a word, and the other workstation's writes show on the window by themselves.
#include "stockwindow/windowfixture.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "stock/fdstock.h"
#include "stock/monthwatch.h"
#include "stock/stockedit.h"
#include "stock/stockload.h"

#include <QTest>
#include <cmath>

using namespace WindowTest;

namespace {

class Workstations : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        if (IsSkipped())
            return;
        // The window's connection gives up on a held record after one second.
        EditConn().gCNT =
            Ado::Connection::open(db->connectionString() + QStringLiteral(";Lock Wait=1"));
        other = db->open();
    }

    void TearDown() override
    {
        other.reset();
        WindowFixture::TearDown();
    }

    // The other workstation counts the record as DEMO, through its own copy of the month.
    EditOutcome countElsewhere(const QString &rno, double x)
    {
        StockMonth month;
        month.reset(window->month().period(), false);
        LoadStockRows(other, QStringLiteral(" Where RNo = ") + rno, QString(), month);
        EXPECT_EQ(month.size(), 1);
        const QString me = User().gsUserID;
        EditUser().gsUserID = QStringLiteral("DEMO");
        const EditOutcome out =
            WriteCountEdit(other, month, 0, window->isBookKept(month.at(0).flag), x, 100);
        EditUser().gsUserID = me;
        return out;
    }

    // The other workstation holds the record in an open write transaction.
    void holdElsewhere(const QString &rno)
    {
        other->beginTrans();
        if (GetParam() == Backend::PostgreSQL)
            other->execute(
                QStringLiteral("select RNo from STOCK where RNo = %1 for update").arg(rno));
        else
            other->executeNonQuery(
                QStringLiteral("update STOCK set RNo = RNo where RNo = %1").arg(rno));
    }

    // Opens the count editor of a row and types, without committing.
    QLineEdit *typeWithoutEnter(int row, const QString &text)
    {
        grid()->setRow(row);
        grid()->setCol(fmTOVRAN::ColSTKQty);
        grid()->view()->setFocus();
        grid()->editCell();
        QApplication::processEvents();
        QLineEdit *box = openEditor();
        if (box) {
            box->selectAll();
            QTest::keyClicks(box, text);
        }
        return box;
    }

    // Every counted record's usage and amount follow its own quantities, and its stamp
    // names the user whose count it holds.
    void expectRecordsConsistent(const QMap<QString, QString> &stampOf)
    {
        for (auto it = stampOf.cbegin(); it != stampOf.cend(); ++it) {
            const QString &rno = it.key();
            const double stk = stockNumber(rno, "STKQty");
            const double use = stockNumber(rno, "LastQty") + stockNumber(rno, "InQty") - stk -
                               stockNumber(rno, "OutQty") - stockNumber(rno, "LostQty");
            EXPECT_DOUBLE_EQ(stockNumber(rno, "UseQty"), use) << rno.toStdString();
            EXPECT_DOUBLE_EQ(stockNumber(rno, "ChkQty"), stk) << rno.toStdString();
            EXPECT_NEAR(stockNumber(rno, "STKAmt"), stk * stockNumber(rno, "AvgPrice"), 1e-9)
                << rno.toStdString();
            EXPECT_EQ(stockField(rno, "UpdUserID"), it.value()) << rno.toStdString();
            EXPECT_FALSE(stockField(rno, "UpdDate").isEmpty()) << rno.toStdString();
        }
    }

    bool waitForCell(const QString &no, int col, const QString &text)
    {
        // Another workstation's write shows within two seconds.
        return QTest::qWaitFor([&] { return rowOf(no) >= 1 && cell(rowOf(no), col) == text; },
                               2000);
    }

    Ado::ConnectionPtr other;
};

} // namespace

TEST_P(Workstations, SameRowReceiptsAndHeldRecord)
{
    item("P1", "麵粉");
    item("P2", "砂糖");
    item("P3", "鹽");
    const QString p1 = stock("2003/01/31", "P1", 10, 20, 0, 2);
    const QString p2 = stock("2003/01/31", "P2", 10, 20, 0, 2);
    const QString p3 = stock("2003/01/31", "P3", 10, 0, 0, 2);
    start();
    query("2003", "1");
    ASSERT_GE(rowOf("P3"), 1);

    // The same row counted on both: the editor is open here when the other count lands.
    QLineEdit *box = typeWithoutEnter(rowOf("P1"), "32");
    ASSERT_TRUE(box);
    ASSERT_EQ(countElsewhere(p1, 31).result, EditOutcome::Written);
    QApplication::processEvents();
    EXPECT_EQ(box->text(), "32"); // an open editor is never overwritten
    auto told = answerSure();
    QTest::keyClick(box, Qt::Key_Return);
    QApplication::processEvents();
    escapeEditor();
    ASSERT_TRUE(told->shown);
    EXPECT_TRUE(told->message.startsWith("此筆資料已被 DEMO 於 ")) << told->message.toStdString();
    EXPECT_TRUE(told->message.endsWith(" 修改 (庫存量 31), 已重新顯示, 請確認後再輸入"))
        << told->message.toStdString();
    EXPECT_EQ(cell(rowOf("P1"), fmTOVRAN::ColSTKQty), "31");
    EXPECT_EQ(cell(rowOf("P1"), fmTOVRAN::ColUpdUserID), "DEMO");
    EXPECT_EQ(stockNumber(p1, "STKQty"), 31);
    expectRecordsConsistent({{p1, "DEMO"}});

    // Receipts raised after the load: the count is checked and recomputed against them.
    db->exec(QStringLiteral("update STOCK set InQty = 40, InAmt = 80 where RNo = %1;\n").arg(p2));
    auto refreshed = answerSure();
    EXPECT_TRUE(typeIntoCell(rowOf("P2"), fmTOVRAN::ColSTKQty, "45"));
    escapeEditor();
    EXPECT_TRUE(refreshed->shown);
    EXPECT_EQ(cell(rowOf("P2"), fmTOVRAN::ColInQty), "40");
    EXPECT_EQ(stockField(p2, "UpdUserID"), "MAKER"); // nothing written on stale figures
    auto below = answerSure();                       // 45 is now below opening plus receipts
    EXPECT_TRUE(typeIntoCell(rowOf("P2"), fmTOVRAN::ColSTKQty, "45"));
    EXPECT_EQ(below->message, "庫存量不得小於期初量加進貨量之和,是否確定?");
    EXPECT_EQ(stockNumber(p2, "UseQty"), 5);
    EXPECT_EQ(cell(rowOf("P2"), fmTOVRAN::ColUseQty), "5");
    expectRecordsConsistent({{p1, "DEMO"}, {p2, "TESTER"}});

    // A record the other workstation holds: the message line says the edit waits, the
    // window keeps running its timers, the edit is refused within the limit, nothing is
    // written, and once the record is free the next edit is stored.
    holdElsewhere(p3);
    QStringList linesSeen;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { linesSeen << msg(); });
    sampler.start(50);
    auto refused = answerSure();
    EXPECT_TRUE(typeIntoCell(rowOf("P3"), fmTOVRAN::ColSTKQty, "12"));
    sampler.stop();
    escapeEditor();
    EXPECT_EQ(refused->message, "另一工作站正在存檔, 請稍後再試");
    EXPECT_TRUE(linesSeen.contains("另一工作站正在存檔, 等待中..."))
        << linesSeen.join(" / ").toStdString();
    EXPECT_EQ(cell(rowOf("P3"), fmTOVRAN::ColSTKQty), "0");
    other->rollbackTrans();
    EXPECT_EQ(stockField(p3, "UpdUserID"), "MAKER");
    EXPECT_TRUE(stockField(p3, "UpdDate").isEmpty());
    EXPECT_TRUE(typeIntoCell(rowOf("P3"), fmTOVRAN::ColSTKQty, "12"));
    EXPECT_EQ(stockNumber(p3, "STKQty"), 12);
    EXPECT_EQ(cell(rowOf("P3"), fmTOVRAN::ColSTKQty), "12");
    expectRecordsConsistent({{p1, "DEMO"}, {p2, "TESTER"}, {p3, "TESTER"}});
}

TEST_P(Workstations, OtherCountsAndItemsShowByThemselves)
{
    item("P1", "麵粉");
    item("P2", "砂糖");
    item("P3", "鹽");
    item("P4", "醋");
    const QString p1 = stock("2003/01/31", "P1", 10, 20, 0, 2);
    const QString p2 = stock("2003/01/31", "P2", 10, 20, 0, 2);
    const QString p3 = stock("2003/01/31", "P3", 10, 20, 0, 2);
    // The month as made by one batch: every record has the same stamp.
    db->exec(QStringLiteral("update STOCK set UpdDate = %1;\n")
                 .arg(QuotDate(QStringLiteral("2003/02/01 08:00:00"))));
    start();
    query("2003", "1");
    ASSERT_GE(rowOf("P2"), 1);
    auto *watch = window->findChild<MonthWatch *>();
    ASSERT_TRUE(watch);
    QStringList reread; // the records the window was given again
    QObject::connect(watch, &MonthWatch::recordsChanged, [&](const QList<ReadRecord> &records) {
        for (const ReadRecord &r : records)
            reread << NumText(r.record.Rno);
    });
    grid()->sort(fmTOVRAN::ColSTKNo, Qt::DescendingOrder);
    const QStringList order = itemOrder();
    grid()->setRow(rowOf("P2"));
    grid()->setCol(fmTOVRAN::ColSTKQty);

    // A count elsewhere shows here; the order and the current cell stay.
    ASSERT_EQ(countElsewhere(p1, 33).result, EditOutcome::Written);
    EXPECT_TRUE(waitForCell("P1", fmTOVRAN::ColSTKQty, "33"));
    EXPECT_EQ(cell(rowOf("P1"), fmTOVRAN::ColUseQty), "-3");
    EXPECT_EQ(cell(rowOf("P1"), fmTOVRAN::ColUpdUserID), "DEMO");
    EXPECT_EQ(itemOrder(), order);
    EXPECT_EQ(grid()->row(), rowOf("P2"));
    EXPECT_EQ(grid()->col(), fmTOVRAN::ColSTKQty);
    // Only the record written is read again, not the month's records of the same stamp.
    EXPECT_EQ(reread, QStringList{p1});

    // A write stamped before the window's last look but committed after it (its commit
    // waited for a reader): it shows all the same.
    const QDateTime p1Stamp = *ParseDateTime(stockField(p1, "UpdDate"));
    other->beginTrans();
    other->executeNonQuery(QStringLiteral("update STOCK set STKQty = 7, ChkQty = 7, UseQty = 23, "
                                          "STKAmt = 14, UpdUserID = 'LATE', UpdDate = %1 "
                                          "where RNo = %2")
                               .arg(QuotDate(p1Stamp.addSecs(-3)), p3));
    AnnounceStockWrite(other, Val(p3));
    other->commitTrans();
    EXPECT_TRUE(waitForCell("P3", fmTOVRAN::ColSTKQty, "7"));
    EXPECT_EQ(cell(rowOf("P3"), fmTOVRAN::ColUpdUserID), "LATE");

    // A count elsewhere of the row being edited here: the editor keeps the clerk's text;
    // the row shows the other count once the editor closes.
    QLineEdit *box = typeWithoutEnter(rowOf("P2"), "40");
    ASSERT_TRUE(box);
    ASSERT_EQ(countElsewhere(p2, 35).result, EditOutcome::Written);
    QTest::qWait(1500);
    EXPECT_EQ(box->text(), "40");
    EXPECT_EQ(cell(rowOf("P2"), fmTOVRAN::ColSTKQty), "0");
    escapeEditor();
    EXPECT_TRUE(waitForCell("P2", fmTOVRAN::ColSTKQty, "35"));

    // A record added elsewhere appears; a count being typed here meanwhile stays in its
    // editor.
    box = typeWithoutEnter(rowOf("P1"), "41");
    ASSERT_TRUE(box);
    StockRecord added;
    added.DeptNo = QStringLiteral("A01");
    added.StkDate = QDate(2003, 1, 31);
    added.STKNo = QStringLiteral("P4");
    added.UserID = added.UpdUserID = QStringLiteral("DEMO");
    ASSERT_TRUE(ADD_STOCK(added, other));
    EXPECT_TRUE(waitForCell("P4", fmTOVRAN::ColName, "醋"));
    EXPECT_EQ(window->month().size(), 4);
    ASSERT_TRUE(grid()->isEditing());
    EXPECT_EQ(openEditor(), box);
    EXPECT_EQ(box->text(), "41");
    EXPECT_EQ(cell(grid()->row(), fmTOVRAN::ColSTKNo), "P1");
    escapeEditor();
    expectRecordsConsistent({{p1, "DEMO"}, {p2, "DEMO"}, {p3, "LATE"}});
}

INSTANTIATE_TEST_SUITE_P(Databases, Workstations,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL), kindName);
