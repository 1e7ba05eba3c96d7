#pragma once

#include "platform/db/connection.h"

#include <QStringList>

// The figures of one stock grid row, in display units, and what an edit makes of them.
struct RowFigures
{
    double factor = 1; // display units per stock unit
    double lastQty = 0, inQty = 0, outQty = 0, lostQty = 0;
    double chkQty = 0, adjustQty = 0, useQty = 0, stkQty = 0, stkAmt = 0, avgPrice = 0;
    bool bookKept = false;
};

struct CountUpdate
{
    RowFigures shown; // the row after the count, as the grid shows it
    double adjustStored = 0, stkStored = 0, useStored = 0; // in stock units
    bool finite = true; // false when a figure overflowed (nothing may be written)
};

struct PriceUpdate
{
    double storedPrice = 0; // per stock unit
    double stkAmt = 0;
    bool finite = true;
};

// A quantity of display units in stock units, rounded to 1/precision.
double ToStockUnit(double value, double factor, int precision);

// A count of x (display units): book-kept items get the adjustment, others the usage;
// stored values are rounded to 1/precision of a stock unit.
CountUpdate ApplyCount(const RowFigures &row, double x, int precision);
PriceUpdate ApplyPrice(const RowFigures &row, double x);

// The statements of an accepted edit, the user/time stamp last.
QStringList CountStatements(const CountUpdate &update, const QString &rno);
QStringList PriceStatements(const PriceUpdate &update, const QString &rno);
QString StampStatement(const QString &rno);

// Runs the statements of one edit inside the caller's transaction; a statement that finds
// no record (deleted meanwhile) throws.
void RunRowStatements(const Ado::ConnectionPtr &connection, const QStringList &statements);

// Runs the statements of one edit in one transaction: all or nothing. A statement that
// finds no record (deleted meanwhile) fails the whole edit.
void WriteRowUpdate(const Ado::ConnectionPtr &connection, const QStringList &statements);
