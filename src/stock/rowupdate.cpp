#include "stock/rowupdate.h"

#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "platform/db/transaction.h"

#include <cmath>

namespace {

bool allFinite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

double ToStockUnit(double value, double factor, int precision)
{
    return std::floor(value * precision / factor + 0.5) / precision;
}

CountUpdate ApplyCount(const RowFigures &row, double x, int precision)
{
    CountUpdate u;
    u.shown = row;
    RowFigures &s = u.shown;
    if (row.bookKept) {
        s.adjustQty = RoundHalfEven2(x - row.lastQty - row.inQty + row.outQty + row.lostQty);
    } else {
        s.chkQty = x;
        s.useQty = RoundHalfEven2(row.lastQty + row.inQty - x - row.outQty - row.lostQty);
    }
    s.stkQty = x;
    s.stkAmt = row.avgPrice * x;
    u.useStored = ToStockUnit(s.useQty, row.factor, precision);
    u.adjustStored = ToStockUnit(s.adjustQty, row.factor, precision);
    u.stkStored = ToStockUnit(x, row.factor, precision);
    u.finite =
        allFinite({s.adjustQty, s.useQty, s.stkAmt, u.useStored, u.adjustStored, u.stkStored});
    return u;
}

PriceUpdate ApplyPrice(const RowFigures &row, double x)
{
    PriceUpdate u;
    u.storedPrice = x * row.factor;
    u.stkAmt = x * row.stkQty;
    u.finite = allFinite({u.storedPrice, u.stkAmt});
    return u;
}

QString StampStatement(const QString &rno)
{
    return QStringLiteral("Update Stock set ") + QStringLiteral(" upduserid = ") +
           QuotField(User().gsUserID) + QStringLiteral(" , ") + QStringLiteral(" upddate = ") +
           Dialect().gsDBDate + QStringLiteral(" Where Rno = ") + rno;
}

QStringList CountStatements(const CountUpdate &u, const QString &rno)
{
    const QString update =
        QStringLiteral("Update Stock set ") + QStringLiteral(" AdjustQty = ") +
        NumText(u.adjustStored) + QStringLiteral(" , ") + QStringLiteral(" STKQty = ") +
        NumText(u.stkStored) + QStringLiteral(" , ") + QStringLiteral(" STKAmt = ") +
        NumText(u.shown.stkAmt) + QStringLiteral(" , ") + QStringLiteral(" UseQty = ") +
        NumText(u.useStored) +
        // The count shown in the counted-quantity column is stored with it.
        (u.shown.bookKept
             ? QString()
             : QStringLiteral(" , ") + QStringLiteral(" ChkQty = ") + NumText(u.stkStored)) +
        QStringLiteral(" Where Rno = ") + rno;
    return {update, StampStatement(rno)};
}

QStringList PriceStatements(const PriceUpdate &u, const QString &rno)
{
    const QString update = QStringLiteral("Update Stock set ") + QStringLiteral(" AVGPRICE = ") +
                           NumText(u.storedPrice) + QStringLiteral(" , ") +
                           QStringLiteral(" STKAmt = ") + NumText(u.stkAmt) +
                           QStringLiteral(" Where Rno = ") + rno;
    return {update, StampStatement(rno)};
}

void RunRowStatements(const Ado::ConnectionPtr &connection, const QStringList &statements)
{
    for (const QString &sql : statements) {
        if (connection->executeNonQuery(sql) == 0)
            throw RunError(RunError::Database, QStringLiteral("庫存紀錄已不存在,無法更新: ") + sql);
    }
}

void WriteRowUpdate(const Ado::ConnectionPtr &connection, const QStringList &statements)
{
    Ado::Transaction transaction(*connection);
    RunRowStatements(connection, statements);
    transaction.commit();
}
