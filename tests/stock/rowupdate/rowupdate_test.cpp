#include "common/state.h"
#include "platform/db/connection.h"
#include "stock/rowupdate.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

RowFigures row(double last, double in, double out, double lost, double avg, double factor = 1)
{
    RowFigures f;
    f.lastQty = last;
    f.inQty = in;
    f.outQty = out;
    f.lostQty = lost;
    f.avgPrice = avg;
    f.factor = factor;
    f.useQty = 7; // what the row showed before the count
    return f;
}

} // namespace

TEST(CountEdit, BookKeptItemGetsTheAdjustment)
{
    RowFigures f = row(10, 5, 3, 1, 2.5);
    f.bookKept = true;
    const CountUpdate u = ApplyCount(f, 15, 100);
    EXPECT_DOUBLE_EQ(u.shown.adjustQty, 4); // 15 - (10 + 5 - 3 - 1)
    EXPECT_DOUBLE_EQ(u.shown.useQty, 7);    // usage unchanged
    EXPECT_DOUBLE_EQ(u.shown.stkAmt, 37.5);
    EXPECT_DOUBLE_EQ(u.stkStored, 15);
    EXPECT_TRUE(u.finite);
}

TEST(CountEdit, OtherItemGetsCountAndUsage)
{
    const CountUpdate u = ApplyCount(row(10, 5, 3, 1, 2.5), 15, 100);
    EXPECT_DOUBLE_EQ(u.shown.chkQty, 15);
    EXPECT_DOUBLE_EQ(u.shown.useQty, -4); // 10 + 5 - 15 - 3 - 1
    EXPECT_DOUBLE_EQ(u.useStored, -4);
    EXPECT_DOUBLE_EQ(u.shown.stkAmt, 37.5);
}

TEST(CountEdit, UseUnitFactorIsDividedOutWithThePrecisionOfTheUnitChoice)
{
    EXPECT_DOUBLE_EQ(ApplyCount(row(0, 0, 0, 0, 1, 12), 30, 10000).stkStored, 2.5);
    EXPECT_DOUBLE_EQ(ApplyCount(row(0, 0, 0, 0, 1, 12), 7, 10000).stkStored, 0.5833);
    EXPECT_DOUBLE_EQ(ApplyCount(row(0, 0, 0, 0, 1, 12), 7, 100).stkStored, 0.58);
}

TEST(CountEdit, UsageRoundsHalvesToEven)
{
    // 0.125 and 0.135 are the classic half cases.
    EXPECT_DOUBLE_EQ(ApplyCount(row(0.125, 0, 0, 0, 0), 0, 100).shown.useQty, 0.12);
    EXPECT_DOUBLE_EQ(ApplyCount(row(0.135, 0, 0, 0, 0), 0, 100).shown.useQty, 0.14);
}

TEST(CountEdit, OverflowIsNeverWritten)
{
    EXPECT_FALSE(ApplyCount(row(0, 0, 0, 0, 1e300), 1e308, 100).finite);
    EXPECT_FALSE(ApplyPrice(row(0, 0, 0, 0, 0, 12), 1e308).finite);
}

TEST(PriceEdit, StoredPerStockUnitAmountFromTheShownCount)
{
    RowFigures f = row(0, 0, 0, 0, 0, 12);
    f.stkQty = 30;
    const PriceUpdate u = ApplyPrice(f, 2.5);
    EXPECT_DOUBLE_EQ(u.storedPrice, 30);
    EXPECT_DOUBLE_EQ(u.stkAmt, 75);
}

TEST(EditStatements, TextOfTheUpdatesAndTheStamp)
{
    EditUser().gsUserID = QStringLiteral("O'Neil");
    EditDialect().gsDBDate = QStringLiteral("now()");
    CountUpdate u = ApplyCount(row(10, 5, 3, 1, 2.5), 15, 100);
    const QStringList sql = CountStatements(u, QStringLiteral("42"));
    ASSERT_EQ(sql.size(), 2);
    EXPECT_EQ(sql[0], "Update Stock set  AdjustQty = 0 ,  STKQty = 15 ,  STKAmt = 37.5 ,  "
                      "UseQty = -4 ,  ChkQty = 15 Where Rno = 42");
    EXPECT_EQ(sql[1], "Update Stock set  upduserid = 'O''Neil' ,  upddate = now() Where Rno = 42");
    RowFigures f = row(0, 0, 0, 0, 0, 12);
    f.stkQty = 30;
    EXPECT_EQ(PriceStatements(ApplyPrice(f, 2.5), QStringLiteral("7"))[0],
              "Update Stock set  AVGPRICE = 30 ,  STKAmt = 75 Where Rno = 7");
}

class EditTransaction : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile file(dir.filePath(QStringLiteral("t.db"))); // an empty file is an empty database
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        cn = Ado::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") +
                                   dir.filePath(QStringLiteral("t.db")));
        cn->executeNonQuery(QStringLiteral(
            "create table STOCK (RNo integer primary key, STKQty numeric, UseQty numeric, "
            "AdjustQty numeric, STKAmt numeric, AvgPrice numeric, UpdUserID text, UpdDate text)"));
        cn->executeNonQuery(QStringLiteral(
            "insert into STOCK values (1, 5, 1, 0, 10, 2, 'OLD', '2003/01/01 00:00:00')"));
    }
    QString column(const QString &name)
    {
        Ado::Recordset rs =
            cn->execute(QStringLiteral("select ") + name + QStringLiteral(" from STOCK"));
        return rs.text(0);
    }
    QTemporaryDir dir;
    Ado::ConnectionPtr cn;
};

TEST_F(EditTransaction, BothStatementsOrNeither)
{
    // The stamp fails (no such column): the count must not stay written either.
    EXPECT_THROW(
        WriteRowUpdate(cn, {QStringLiteral("Update Stock set STKQty = 9 Where Rno = 1"),
                            QStringLiteral("Update Stock set NoSuchColumn = 1 Where Rno = 1")}),
        RunError);
    EXPECT_EQ(column(QStringLiteral("STKQty")), "5");
    WriteRowUpdate(cn, {QStringLiteral("Update Stock set STKQty = 9 Where Rno = 1"),
                        QStringLiteral("Update Stock set UpdUserID = 'ME' Where Rno = 1")});
    EXPECT_EQ(column(QStringLiteral("STKQty")), "9");
    EXPECT_EQ(column(QStringLiteral("UpdUserID")), "ME");
}

TEST_F(EditTransaction, ARecordDeletedMeanwhileFailsTheEdit)
{
    EXPECT_THROW(WriteRowUpdate(cn, {QStringLiteral("Update Stock set STKQty = 9 Where Rno = 2")}),
                 RunError);
}
