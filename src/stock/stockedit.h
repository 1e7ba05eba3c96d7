#pragma once

#include "platform/db/connection.h"
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
        LockTimeout       // nothing written; another session held the record past the limit
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

// Whether two readings of a record differ in any field or in the stamp.
bool RecordChanged(const StockRecord &a, const QString &updDateA, const StockRecord &b,
                   const QString &updDateB);
