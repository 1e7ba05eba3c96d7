#pragma once

#include "platform/db/connection.h"
#include "stock/countlines.h"
#include "stock/stockmonth.h"

#include <functional>

// Writing an accepted count or price edit of one row. The record is read again inside the
// write transaction (and locked there) and compared with the figures the row had when it
// was loaded or last written here: another workstation's change is never overwritten.
struct EditOutcome
{
    enum Result {
        Written,          // the edit is stored; record holds the record as now stored
        ChangedElsewhere, // nothing written; record holds the other workstation's record
        Gone,             // nothing written; the record no longer exists
        Overflow,         // nothing written; a recomputed figure is no finite number
        LockTimeout,      // nothing written; another session held the record past the limit
        NothingToUndo,    // nothing written; the record has no count line
        LinesOff          // nothing written; this database keeps no count lines
    };
    Result result = Gone;
    StockRecord record;
    QString updDate;
};

// Called while an edit waits for a record another session holds, between short waits:
// the window says so and keeps painting.
using WhileWaiting = std::function<void()>;

// A count of x (display units) for the row at index, stored in stock units to 1/precision.
// Book-kept items get the adjustment, others the usage and the counted quantity. Throws
// RunError on database errors (nothing is then written).
EditOutcome WriteCountEdit(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           bool bookKept, double x, int precision,
                           const WhileWaiting &waiting = {});
// A price of x per display unit for the row at index.
EditOutcome WritePriceEdit(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           double x, const WhileWaiting &waiting = {});

// What another workstation's write since the row was read refuses: any change (the count
// typed over the row), or a change of the book figures only (a location's line or a scan:
// the other locations' lines add up, the sum is taken as stored).
enum class ConflictRule { AnyChange, BookFigures };

// A change of one location's count line of a row.
struct LineChange
{
    QString location;
    double qty = 0;   // display units
    bool add = false; // added to the location's line (a scan), else the line's quantity
    CountLine::Kind kind = CountLine::Typed;
};

// Writes the location's line (the one it replaces voided and kept) and the row's count as
// the sum of its current lines, in one transaction.
EditOutcome WriteLineCount(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           bool bookKept, const LineChange &change, int precision,
                           ConflictRule rule, const WhileWaiting &waiting = {});
// Undoes the row's last line change by a new one: the line it voided comes back as an undo
// line (or, when it replaced none, the line is voided and, with no line left, the count is
// what it was before it); the line an undo voided comes back the same way.
EditOutcome WriteCountUndo(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           bool bookKept, int precision, const WhileWaiting &waiting = {});

// Line changes of several rows in one transaction: every one written or none. refused is
// the position of the change that was refused (rows then holds its outcome only), -1 when
// all were written (rows holds each row's outcome in order).
struct EditsOutcome
{
    QList<EditOutcome> rows;
    int refused = -1;
};
struct RowLineChange
{
    int index = -1;
    bool bookKept = false;
    LineChange change;
};
EditsOutcome WriteLineCounts(const Ado::ConnectionPtr &connection, const StockMonth &month,
                             const QList<RowLineChange> &changes, int precision, ConflictRule rule);

// Whether two readings of a record differ in any field or in the stamp.
bool RecordChanged(const StockRecord &a, const QString &updDateA, const StockRecord &b,
                   const QString &updDateB);
// Whether two readings differ in a book figure (anything a count does not write).
bool BookFiguresChanged(const StockRecord &a, const StockRecord &b);
