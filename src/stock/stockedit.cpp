#include "stock/stockedit.h"

#include "common/numtext.h"
#include "platform/db/transaction.h"
#include "stock/monthwatch.h"
#include "stock/stockfields.h"
#include "stock/stockload.h"

#include <QElapsedTimer>
#include <algorithm>

bool RecordChanged(const StockRecord &a, const QString &updDateA, const StockRecord &b,
                   const QString &updDateB)
{
    return updDateA != updDateB || std::ranges::any_of(StockFields, [&](const StockField &field) {
               return std::visit([&](auto member) { return a.*member != b.*member; }, field.member);
           });
}

namespace {

// The statements of an edit, made from the record as it is now; empty: nothing finite.
using StatementsOf = std::function<QStringList(const StockRecord &current)>;

// The record is locked in short waits so that the window can say it is waiting and keep
// painting in between, until the connection's lock wait is used up.
constexpr int WaitSliceMs = 200;

EditOutcome attemptEdit(const Ado::ConnectionPtr &connection, const StockRow &row,
                        const StatementsOf &statementsOf, int waitMs)
{
    EditOutcome out;
    Ado::Transaction transaction(*connection); // anything but a written edit is rolled back
    connection->limitLockWait(waitMs);
    if (!ReadStockRecordByRno(connection, row.stored.Rno, true, out.record, out.updDate)) {
        out.result = EditOutcome::Gone;
        return out;
    }
    if (RecordChanged(out.record, out.updDate, row.stored, row.updDate)) {
        out.result = EditOutcome::ChangedElsewhere;
        return out;
    }
    const QStringList statements = statementsOf(out.record);
    if (statements.isEmpty()) {
        out.result = EditOutcome::Overflow;
        return out;
    }
    RunRowStatements(connection, statements);
    // What the database keeps (its rounding, its time stamp) is what the row shows; read
    // before the commit, so that nobody's later write can be mistaken for it.
    if (!ReadStockRecordByRno(connection, row.stored.Rno, false, out.record, out.updDate)) {
        out.result = EditOutcome::Gone;
        return out;
    }
    AnnounceStockWrite(connection, row.stored.Rno);
    transaction.commit();
    out.result = EditOutcome::Written;
    return out;
}

EditOutcome writeEdit(const Ado::ConnectionPtr &connection, const StockRow &row,
                      const StatementsOf &statementsOf, const WhileWaiting &waiting)
{
    QElapsedTimer waited;
    waited.start();
    const int limit = connection->lockWait();
    for (;;) {
        const int left = limit - static_cast<int>(waited.elapsed());
        try {
            return attemptEdit(connection, row, statementsOf, qBound(1, left, WaitSliceMs));
        } catch (const Ado::LockBusy &) {
            // rolled back: nothing of the edit is kept
        }
        if (waited.elapsed() >= limit) {
            EditOutcome out;
            out.result = EditOutcome::LockTimeout;
            out.record = row.stored;
            out.updDate = row.updDate;
            return out;
        }
        if (waiting)
            waiting();
    }
}

} // namespace

EditOutcome WriteCountEdit(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           bool bookKept, double x, int precision, const WhileWaiting &waiting)
{
    const StockRow &row = month.at(index);
    return writeEdit(
        connection, row,
        [&](const StockRecord &current) {
            const RowFigures f =
                StockMonth::figuresOf(current, row.factor, month.useUnit(), bookKept);
            const CountUpdate update = ApplyCount(f, x, precision);
            return update.finite ? CountStatements(update, NumText(current.Rno)) : QStringList();
        },
        waiting);
}

EditOutcome WritePriceEdit(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           double x, const WhileWaiting &waiting)
{
    const StockRow &row = month.at(index);
    return writeEdit(
        connection, row,
        [&](const StockRecord &current) {
            const RowFigures f = StockMonth::figuresOf(current, row.factor, month.useUnit(), false);
            const PriceUpdate update = ApplyPrice(f, x);
            return update.finite ? PriceStatements(update, NumText(current.Rno)) : QStringList();
        },
        waiting);
}
