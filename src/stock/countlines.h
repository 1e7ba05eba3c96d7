#pragma once

#include "platform/db/connection.h"

#include <QChar>
#include <QHash>
#include <QList>
#include <QString>

// Count lines: the counts behind a STOCK record's count, in our own table STOCKCNT. A line
// is one location's count of a record by one clerk; a later count of the location voids
// it (kept, with who replaced it and when). When a record has current lines, its count is
// their sum. The suite's tables know nothing of them.
struct CountLine
{
    // Mark: the store manager's recount mark set (quantity 1) or cleared (0); not a count.
    enum Kind : char { Typed = 'T', Scanned = 'S', Imported = 'I', Undo = 'U', Mark = 'M' };

    qint64 cntNo = 0;
    qint64 rno = 0;
    QString location; // empty is a location like any other
    double qty = 0;   // stock units
    QString userId;
    QString pcName;
    QString cntDate; // the database clock, as stored
    QChar kind;
    QString voidDate; // empty while the line is current
    QString voidUserId;
    double rowQtyBefore = 0; // the record's count before this line was written

    bool isCurrent() const { return voidDate.isEmpty(); }
    bool isMark() const { return kind == QChar(Mark); }
};

// What the month keeps of a record's lines: its current lines (one a location, by
// location) and whether two clerks disagree on a location.
struct RowCount
{
    QList<CountLine> current;
    bool recount = false;

    bool hasLines() const { return !current.isEmpty(); }
    double total() const; // stock units
    const CountLine *lineAt(const QString &location) const;
};

// The longest location text the table keeps.
constexpr int CountLocationLength = 20;

// Whether STOCKCNT is there to use: made when missing (false when it cannot be, e.g. no
// right to create tables; the count is then kept as the suite keeps it).
bool EnsureCountLineTable(const Ado::ConnectionPtr &connection);

// The record's lines, every one ever written, newest first.
QList<CountLine> ReadCountHistory(const Ado::ConnectionPtr &connection, qint64 rno);
// The record's current lines and mark as now stored.
RowCount ReadRowCount(const Ado::ConnectionPtr &connection, qint64 rno);
// The same for the records "From STOCK" + conditions that have lines.
QHash<qint64, RowCount> ReadMonthCounts(const Ado::ConnectionPtr &connection,
                                        const QString &conditions);
// The same for the records of these numbers (many rows' lines in few statements).
QHash<qint64, RowCount> ReadRowCounts(const Ado::ConnectionPtr &connection,
                                      const QList<qint64> &rnos);

// The mark and current lines of one record from its lines in any order: a location is to
// be counted again when its current line, typed or imported, replaced another clerk's line
// of a different quantity; a count of it that confirms the quantity it replaced clears it.
// A manager's mark line later than every count line decides instead.
RowCount RowCountOf(QList<CountLine> lines);

// Sets or clears the record's recount mark by a mark line (the count is not touched).
void WriteRecountMark(const Ado::ConnectionPtr &connection, qint64 rno, bool recount);
