#include "stock/stockedit.h"

#include "common/numtext.h"
#include "platform/db/transaction.h"
#include "stock/stockload.h"

#include <functional>

bool RecordChanged(const StockRecord &a, const QString &updDateA, const StockRecord &b,
                   const QString &updDateB)
{
    return a.LastQty != b.LastQty || a.LastAmt != b.LastAmt || a.InQty != b.InQty ||
           a.InAmt != b.InAmt || a.OutQty != b.OutQty || a.OutAmt != b.OutAmt ||
           a.LostQty != b.LostQty || a.LostAmt != b.LostAmt || a.ChkQty != b.ChkQty ||
           a.AdjustQty != b.AdjustQty || a.UseQty != b.UseQty || a.STKQty != b.STKQty ||
           a.STKAmt != b.STKAmt || a.AvgPrice != b.AvgPrice || a.UpdUserID != b.UpdUserID ||
           updDateA != updDateB;
}

namespace {

// The statements of an edit, made from the record as it is now; empty: nothing finite.
using StatementsOf = std::function<QStringList(const StockRecord &current)>;

EditOutcome writeEdit(const Ado::ConnectionPtr &connection, const StockRow &row,
                      const StatementsOf &statementsOf)
{
    EditOutcome out;
    {
        Ado::Transaction transaction(*connection);
        if (!ReadStockRecordByRno(connection, row.stored.Rno, true, out.record, out.updDate)) {
            out.result = EditOutcome::Gone;
        } else if (RecordChanged(out.record, out.updDate, row.stored, row.updDate)) {
            out.result = EditOutcome::ChangedElsewhere;
        } else {
            const QStringList statements = statementsOf(out.record);
            if (statements.isEmpty()) {
                out.result = EditOutcome::Overflow;
            } else {
                RunRowStatements(connection, statements);
                transaction.commit();
                out.result = EditOutcome::Written;
            }
        }
    } // anything but a written edit is rolled back
    // What the database kept (its rounding, its time stamp) is what the row shows.
    if (out.result == EditOutcome::Written &&
        !ReadStockRecordByRno(connection, row.stored.Rno, false, out.record, out.updDate))
        out.result = EditOutcome::Gone;
    return out;
}

} // namespace

EditOutcome WriteCountEdit(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           bool bookKept, double x, int precision)
{
    const StockRow &row = month.at(index);
    return writeEdit(connection, row, [&](const StockRecord &current) {
        const RowFigures f = StockMonth::figuresOf(current, row.factor, month.useUnit(), bookKept);
        const CountUpdate update = ApplyCount(f, x, precision);
        return update.finite ? CountStatements(update, NumText(current.Rno)) : QStringList();
    });
}

EditOutcome WritePriceEdit(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           double x)
{
    const StockRow &row = month.at(index);
    return writeEdit(connection, row, [&](const StockRecord &current) {
        const RowFigures f = StockMonth::figuresOf(current, row.factor, month.useUnit(), false);
        const PriceUpdate update = ApplyPrice(f, x);
        return update.finite ? PriceStatements(update, NumText(current.Rno)) : QStringList();
    });
}
