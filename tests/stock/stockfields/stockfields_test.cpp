// The STOCK record's fields as the program writes, reads, compares and shows them, checked
// against the record's fields spelled out here, apart from the program's table of them.
#include "common/dates.h"
#include "common/numtext.h"
#include "data/adodb.h"
#include "stock/fdstock.h"
#include "stock/stockcolumns.h"
#include "stock/stockedit.h"
#include "stock/stockload.h"
#include "stock/stockmonth.h"
#include "support/testdatabase.h"

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace {

using C = StockColumns;

struct Figure
{
    const char *column;
    double StockRecord::*member;
    double value; // every figure its own, none a whole number
    int gridColumn;
    bool quantity;
};

const Figure Figures[] = {
    {"LastQty", &StockRecord::LastQty, 1.5, C::ColLastQty, true},
    {"LastAmt", &StockRecord::LastAmt, 2.25, C::ColLastAmt, false},
    {"InQty", &StockRecord::InQty, 3.5, C::ColInQty, true},
    {"InAmt", &StockRecord::InAmt, 4.75, C::ColInAmt, false},
    {"OutQty", &StockRecord::OutQty, 5.5, C::ColOutQty, true},
    {"OutAmt", &StockRecord::OutAmt, 6.25, C::ColOutAmt, false},
    {"ChkQty", &StockRecord::ChkQty, 7.5, C::ColChkQty, true},
    {"AdjustQty", &StockRecord::AdjustQty, -8.5, C::ColAdjustQty, true},
    {"UseQty", &StockRecord::UseQty, 9.5, C::ColUseQty, true},
    {"LostQty", &StockRecord::LostQty, 10.5, C::ColLostQty, true},
    {"LostAmt", &StockRecord::LostAmt, 11.25, -1, false},
    {"STKQty", &StockRecord::STKQty, 12.5, C::ColSTKQty, true},
    {"STKAmt", &StockRecord::STKAmt, 13.75, C::ColSTKAmt, false},
    {"AvgPrice", &StockRecord::AvgPrice, 14.25, C::ColAvgPrice, false},
};

const QDate End(2026, 11, 30);

StockRecord distinctRecord()
{
    StockRecord r;
    r.Rno = 0; // the database assigns it
    r.DeptNo = QStringLiteral("A01");
    r.StkDate = End;
    r.STKNo = QStringLiteral("M1");
    for (const Figure &f : Figures)
        r.*f.member = f.value;
    r.UserID = QStringLiteral("MAKER");
    r.UpdUserID = QStringLiteral("CLERK1");
    return r;
}

void expectRecord(const StockRecord &got, const StockRecord &want, const char *reader)
{
    EXPECT_EQ(got.Rno, want.Rno) << reader;
    EXPECT_EQ(got.DeptNo, want.DeptNo) << reader;
    EXPECT_EQ(got.StkDate, want.StkDate) << reader;
    EXPECT_EQ(got.STKNo, want.STKNo) << reader;
    for (const Figure &f : Figures)
        EXPECT_EQ(got.*f.member, want.*f.member) << reader << ": " << f.column;
    EXPECT_EQ(got.UserID, want.UserID) << reader;
    EXPECT_EQ(got.UpdUserID, want.UpdUserID) << reader;
}

class StockFields : public ::testing::TestWithParam<Backend>
{
};

} // namespace

// A record inserted lands in its columns, and both readers (one record by number, the rows
// of a month) give it back field by field, the stamp alike.
TEST_P(StockFields, InsertedRecordReadsBackFieldByField)
{
    QString why;
    const auto db = TestDatabase::create(GetParam(), &why);
    if (!db)
        GTEST_SKIP() << why.toStdString();
    db->makeShared();
    StockRecord written = distinctRecord();
    ASSERT_TRUE(ADD_STOCK(written, db->connection()));
    ASSERT_GT(written.Rno, 0);
    const QString rno = NumText(written.Rno);
    db->exec(QStringLiteral("Update STOCK set UpdDate = FileDate Where RNo = ") + rno);

    Ado::Recordset raw =
        db->connection()->execute(QStringLiteral("Select * From STOCK Where RNo = ") + rno);
    ASSERT_FALSE(raw.eof());
    EXPECT_EQ(raw.text(QStringLiteral("DeptNo")), written.DeptNo);
    EXPECT_EQ(ParseDate(raw.value(QStringLiteral("StkDate"))), End);
    EXPECT_EQ(raw.text(QStringLiteral("STKNo")), written.STKNo);
    for (const Figure &f : Figures)
        EXPECT_EQ(raw.number(QLatin1String(f.column)), f.value) << f.column;
    EXPECT_EQ(raw.text(QStringLiteral("UserID")), written.UserID);
    EXPECT_EQ(raw.text(QStringLiteral("UpdUserID")), written.UpdUserID);
    const QString stamp = raw.text(QStringLiteral("UpdDate"));
    EXPECT_FALSE(stamp.isEmpty());
    raw.close();

    StockRecord byNumber;
    QString byNumberStamp;
    ASSERT_TRUE(
        ReadStockRecordByRno(db->connection(), written.Rno, false, byNumber, byNumberStamp));
    expectRecord(byNumber, written, "by number");
    EXPECT_EQ(byNumberStamp, stamp);

    StockMonth month;
    month.reset({2026, 11, QStringLiteral("A01"), End}, false);
    LoadStockRows(db->connection(), QStringLiteral(" Where RNo = ") + rno, ItemOrder(), month);
    ASSERT_EQ(month.size(), 1);
    expectRecord(month.at(0).stored, written, "month");
    EXPECT_EQ(month.at(0).updDate, stamp);
    EXPECT_EQ(month.indexOfRno(written.Rno), 0);
    EXPECT_FALSE(RecordChanged(month.at(0).stored, month.at(0).updDate, byNumber, stamp));
}

INSTANTIATE_TEST_SUITE_P(Databases, StockFields,
                         ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         [](const auto &info) { return BackendName(info.param); });

// Another reading that differs in any one field, or in the stamp, is a change.
TEST(StockFieldTable, EveryFieldCountsAsAChange)
{
    StockRecord base = distinctRecord();
    base.Rno = 7;
    const QString stamp = QStringLiteral("2026/12/09 10:00:00");
    const StockRecord same = base;
    EXPECT_FALSE(RecordChanged(base, stamp, same, stamp));
    EXPECT_TRUE(RecordChanged(base, stamp, base, QStringLiteral("2026/12/09 10:00:01")));

    std::vector<std::pair<const char *, std::function<void(StockRecord &)>>> changes = {
        {"Rno", [](StockRecord &r) { r.Rno += 1; }},
        {"DeptNo", [](StockRecord &r) { r.DeptNo = QStringLiteral("A02"); }},
        {"StkDate", [](StockRecord &r) { r.StkDate = r.StkDate.addDays(1); }},
        {"STKNo", [](StockRecord &r) { r.STKNo = QStringLiteral("M2"); }},
        {"UserID", [](StockRecord &r) { r.UserID = QStringLiteral("OTHER"); }},
        {"UpdUserID", [](StockRecord &r) { r.UpdUserID = QString(); }},
    };
    for (const Figure &f : Figures)
        changes.push_back({f.column, [m = f.member](StockRecord &r) { r.*m += 0.001; }});
    for (const auto &[what, change] : changes) {
        StockRecord other = base;
        change(other);
        EXPECT_TRUE(RecordChanged(base, stamp, other, stamp)) << what;
    }
}

// A figure column shows its own field: quantities in the use unit, the price per use unit,
// amounts as stored; other columns have no figure.
TEST(StockFieldTable, FigureColumnsShowTheirFields)
{
    StockMonth month;
    month.reset({2026, 11, QStringLiteral("A01"), End}, true);
    StockRow row;
    row.stored = distinctRecord();
    row.stored.Rno = 1;
    row.factor = 2;
    month.append(row);
    int figureColumns = 0;
    for (const Figure &f : Figures) {
        if (f.gridColumn < 0)
            continue;
        ++figureColumns;
        const int col = f.gridColumn;
        EXPECT_TRUE(StockMonth::isFigureColumn(col)) << f.column;
        EXPECT_EQ(StockMonth::isQuantityColumn(col), f.quantity) << f.column;
        EXPECT_EQ(&StockMonth::storedFigure(row.stored, col), &(row.stored.*f.member)) << f.column;
        const double shown = f.quantity                           ? f.value * 2
                             : f.member == &StockRecord::AvgPrice ? 7.13
                                                                  : f.value;
        EXPECT_EQ(month.figure(0, col), shown) << f.column;
        EXPECT_EQ(month.text(0, col), NumText(shown)) << f.column;
    }
    int others = 0;
    for (int col = 0; col < C::ColumnCount; ++col) {
        if (StockMonth::isFigureColumn(col))
            continue;
        ++others;
        EXPECT_FALSE(StockMonth::isQuantityColumn(col)) << col;
        EXPECT_EQ(month.figure(0, col), 0) << col;
        EXPECT_THROW(StockMonth::storedFigure(row.stored, col), std::out_of_range) << col;
    }
    EXPECT_EQ(figureColumns + others, int(C::ColumnCount));
    EXPECT_EQ(month.text(0, C::ColRNo), QStringLiteral("1"));
    EXPECT_EQ(month.text(0, C::ColDeptNo), QStringLiteral("A01"));
    EXPECT_EQ(month.text(0, C::ColStkDate), DateText(End));
    EXPECT_EQ(month.text(0, C::ColSTKNo), QStringLiteral("M1"));
    EXPECT_EQ(month.text(0, C::ColUserID), QStringLiteral("MAKER"));
    EXPECT_EQ(month.text(0, C::ColUpdUserID), QStringLiteral("CLERK1"));
}
