#include "stock/stockedit.h"

#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
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

bool BookFiguresChanged(const StockRecord &a, const StockRecord &b)
{
    // What a count writes: the counted quantity, adjustment, usage, count, its amount and
    // the stamp's user.
    static const QList<QLatin1String> counted{QLatin1String("ChkQty"), QLatin1String("AdjustQty"),
                                              QLatin1String("UseQty"), QLatin1String("STKQty"),
                                              QLatin1String("STKAmt"), QLatin1String("UpdUserID")};
    return std::ranges::any_of(StockFields, [&](const StockField &field) {
        return !counted.contains(QLatin1String(field.column)) &&
               std::visit([&](auto member) { return a.*member != b.*member; }, field.member);
    });
}

namespace {

// The statements of an edit, made from the record as it is now (read inside the edit's
// transaction and locked); empty: nothing finite.
using StatementsOf = std::function<QStringList(const StockRecord &current)>;

struct RowEdit
{
    StockRow row; // as the month holds it
    StatementsOf statementsOf;
};

// The record is locked in short waits so that the window can say it is waiting and keep
// painting in between, until the connection's lock wait is used up.
constexpr int WaitSliceMs = 200;

EditsOutcome attemptEdits(const Ado::ConnectionPtr &connection, const QList<RowEdit> &edits,
                          ConflictRule rule, int waitMs)
{
    EditsOutcome outs;
    Ado::Transaction transaction(*connection); // anything but every edit written is rolled back
    connection->limitLockWait(waitMs);
    const auto refuse = [&](int at, EditOutcome out) {
        outs.rows = {out};
        outs.refused = at;
        return outs;
    };
    QList<double> written; // announced together before the commit
    for (int i = 0; i < edits.size(); ++i) {
        const StockRow &row = edits[i].row;
        EditOutcome out;
        if (!ReadStockRecordByRno(connection, row.stored.Rno, true, out.record, out.updDate)) {
            out.result = EditOutcome::Gone;
            return refuse(i, out);
        }
        const bool changed = rule == ConflictRule::AnyChange
                                 ? RecordChanged(out.record, out.updDate, row.stored, row.updDate)
                                 : BookFiguresChanged(out.record, row.stored);
        if (changed) {
            out.result = EditOutcome::ChangedElsewhere;
            return refuse(i, out);
        }
        const QStringList statements = edits[i].statementsOf(out.record);
        if (statements.isEmpty()) {
            out.result = EditOutcome::Overflow;
            return refuse(i, out);
        }
        RunRowStatements(connection, statements);
        // What the database keeps (its rounding, its time stamp) is what the row shows; read
        // before the commit, so that nobody's later write can be mistaken for it.
        if (!ReadStockRecordByRno(connection, row.stored.Rno, false, out.record, out.updDate)) {
            out.result = EditOutcome::Gone;
            return refuse(i, out);
        }
        written << row.stored.Rno;
        out.result = EditOutcome::Written;
        outs.rows.append(out);
    }
    AnnounceStockWrites(connection, written);
    transaction.commit();
    return outs;
}

EditsOutcome writeEdits(const Ado::ConnectionPtr &connection, const QList<RowEdit> &edits,
                        ConflictRule rule, const WhileWaiting &waiting)
{
    QElapsedTimer waited;
    waited.start();
    const int limit = connection->lockWait();
    for (;;) {
        const int left = limit - static_cast<int>(waited.elapsed());
        try {
            return attemptEdits(connection, edits, rule, qBound(1, left, WaitSliceMs));
        } catch (const Ado::LockBusy &) {
            // rolled back: nothing of the edits is kept
        }
        if (waited.elapsed() >= limit) {
            EditOutcome out;
            out.result = EditOutcome::LockTimeout;
            out.record = edits.value(0).row.stored;
            out.updDate = edits.value(0).row.updDate;
            return {{out}, 0};
        }
        if (waiting)
            waiting();
    }
}

EditOutcome writeEdit(const Ado::ConnectionPtr &connection, const StockRow &row,
                      const StatementsOf &statementsOf, const WhileWaiting &waiting,
                      ConflictRule rule = ConflictRule::AnyChange)
{
    return writeEdits(connection, {{row, statementsOf}}, rule, waiting).rows.value(0);
}

// The row's count set to total (stock units): the count statements of the record as it is.
QStringList countStatements(const StockRecord &current, const StockMonth &month,
                            const StockRow &row, bool bookKept, double total, int precision)
{
    const RowFigures f = StockMonth::figuresOf(current, row.factor, month.useUnit(), bookKept);
    const CountUpdate update = ApplyCount(f, total * row.factor, precision);
    return update.finite ? CountStatements(update, NumText(current.Rno)) : QStringList();
}

QString voidStatement(const CountLine &line)
{
    return QStringLiteral("Update STOCKCNT set VoidDate = ") + Dialect().gsDBDate +
           QStringLiteral(", VoidUserID = ") + QuotField(User().gsUserID) +
           QStringLiteral(" Where CntNo = ") + QString::number(line.cntNo) +
           QStringLiteral(" And VoidDate Is Null");
}

QString insertStatement(const StockRecord &current, const QString &location, double qty, QChar kind)
{
    return QStringLiteral("Insert Into STOCKCNT (RNo, Location, Qty, UserID, PCName, CntDate, "
                          "Kind, RowQty) Values (") +
           NumText(current.Rno) + QStringLiteral(", ") + QuotField(location) +
           QStringLiteral(", ") + NumText(qty) + QStringLiteral(", ") + QuotField(User().gsUserID) +
           QStringLiteral(", ") + QuotField(Ini().gsPCName) + QStringLiteral(", ") +
           Dialect().gsDBDate + QStringLiteral(", '") + kind + QStringLiteral("', ") +
           NumText(current.STKQty) + QLatin1Char(')');
}

StatementsOf lineStatements(const Ado::ConnectionPtr &connection, const StockMonth &month,
                            const StockRow &row, bool bookKept, const LineChange &change,
                            int precision)
{
    return [=, &month](const StockRecord &current) {
        // The lines as stored now: the record is locked, nobody writes them meanwhile.
        const RowCount count = ReadRowCount(connection, qint64(current.Rno));
        const CountLine *replaced = count.lineAt(change.location);
        const double qty = ToStockUnit(change.qty, row.factor, precision) +
                           (change.add && replaced ? replaced->qty : 0);
        const double total = count.total() - (replaced ? replaced->qty : 0) + qty;
        QStringList statements = countStatements(current, month, row, bookKept, total, precision);
        if (statements.isEmpty())
            return statements;
        QStringList lines;
        if (replaced)
            lines << voidStatement(*replaced);
        lines << insertStatement(current, change.location, qty, QChar(change.kind));
        return lines + statements;
    };
}

} // namespace

EditOutcome WriteCountEdit(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           bool bookKept, double x, int precision, const WhileWaiting &waiting)
{
    const StockRow row = month.at(index); // a copy: waiting may let the month change
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
    const StockRow row = month.at(index);
    return writeEdit(
        connection, row,
        [&](const StockRecord &current) {
            const RowFigures f = StockMonth::figuresOf(current, row.factor, month.useUnit(), false);
            const PriceUpdate update = ApplyPrice(f, x);
            return update.finite ? PriceStatements(update, NumText(current.Rno)) : QStringList();
        },
        waiting);
}

EditOutcome WriteLineCount(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           bool bookKept, const LineChange &change, int precision,
                           ConflictRule rule, const WhileWaiting &waiting)
{
    const StockRow row = month.at(index);
    return writeEdit(connection, row,
                     lineStatements(connection, month, row, bookKept, change, precision), waiting,
                     rule);
}

EditsOutcome WriteLineCounts(const Ado::ConnectionPtr &connection, const StockMonth &month,
                             const QList<RowLineChange> &changes, int precision, ConflictRule rule)
{
    QList<RowEdit> edits;
    edits.reserve(changes.size());
    for (const RowLineChange &c : changes) {
        const StockRow row = month.at(c.index);
        edits.append(
            {row, lineStatements(connection, month, row, c.bookKept, c.change, precision)});
    }
    return writeEdits(connection, edits, rule, {});
}

EditOutcome WriteCountUndo(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           bool bookKept, int precision, const WhileWaiting &waiting)
{
    const StockRow row = month.at(index);
    QList<CountLine> lines = ReadCountHistory(connection, qint64(row.stored.Rno));
    if (std::ranges::all_of(lines, [](const CountLine &l) { return l.isMark(); })) {
        EditOutcome out;
        out.result = EditOutcome::NothingToUndo;
        out.record = row.stored;
        out.updDate = row.updDate;
        return out;
    }
    return writeEdit(
        connection, row,
        [&](const StockRecord &current) {
            QList<CountLine> history = ReadCountHistory(connection, qint64(current.Rno));
            history.removeIf([](const CountLine &l) { return l.isMark(); }); // no counts
            if (history.isEmpty())
                return QStringList(); // undone elsewhere meanwhile: nothing to write
            const CountLine &last = history.first();
            QStringList lines;
            QList<CountLine> stillCurrent = RowCountOf(history).current;
            double restoredQty = 0;
            bool restore = false;
            if (last.isCurrent()) {
                lines << voidStatement(last);
                stillCurrent.removeIf([&](const CountLine &l) { return l.cntNo == last.cntNo; });
                // The line it replaced: the location's line before it.
                const auto before =
                    std::find_if(history.begin() + 1, history.end(),
                                 [&](const CountLine &l) { return l.location == last.location; });
                if (before != history.end()) {
                    restore = true;
                    restoredQty = before->qty;
                }
            } else {
                // Voided with no line after it: an undo took it back; it comes back.
                restore = true;
                restoredQty = last.qty;
            }
            double total = 0;
            for (const CountLine &l : stillCurrent)
                total += l.qty;
            if (restore) {
                lines << insertStatement(current, last.location, restoredQty,
                                         QChar(CountLine::Undo));
                total += restoredQty;
            } else if (stillCurrent.isEmpty()) {
                total = last.rowQtyBefore; // the count as it was before the record had lines
            }
            QStringList statements =
                countStatements(current, month, row, bookKept, total, precision);
            return statements.isEmpty() ? statements : lines + statements;
        },
        waiting, ConflictRule::BookFigures);
}
