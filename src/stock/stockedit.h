#pragma once

#include "platform/db/connection.h"
#include "stock/stockmonth.h"

// Writing an accepted count or price edit of one row. The record is read again inside the
// write transaction (and locked there) and compared with the figures the row had when it
// was loaded or last written here: another workstation's change is never overwritten.
struct EditOutcome
{
    enum Result {
        Written,          // the edit is stored; record holds the record as now stored
        ChangedElsewhere, // nothing written; record holds the other workstation's record
        Gone,             // nothing written; the record no longer exists
        Overflow          // nothing written; a recomputed figure is no finite number
    };
    Result result = Gone;
    StockRecord record;
    QString updDate;
};

// A count of x (display units) for the row at index, stored in stock units to 1/precision.
// Book-kept items get the adjustment, others the usage and the counted quantity. Throws
// RunError on database errors (nothing is then written).
EditOutcome WriteCountEdit(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           bool bookKept, double x, int precision);
// A price of x per display unit for the row at index.
EditOutcome WritePriceEdit(const Ado::ConnectionPtr &connection, const StockMonth &month, int index,
                           double x);

// Whether two readings of a record differ in any stored figure or in the stamp.
bool RecordChanged(const StockRecord &a, const QString &updDateA, const StockRecord &b,
                   const QString &updDateB);
