#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// The table notation of the printouts. A column format is one entry per column:
// an optional alignment ("<" left, "^" centre, ">" right; left when absent), the width in
// twips (0 = carried in the data but not drawn) and an optional "~" (keep the cell on one
// line and clip it). Entries are separated by the column separator and the format ends
// with the row separator, e.g. "^500~|<1500~|>1000|<0;". Data rows use the same
// separators: cells split at the column separator, rows ended by the row separator.
struct TableColumn
{
    enum Align { Left, Centre, Right };
    Align align = Left;
    int width = 0; // twips
    bool singleLine = false;
};

// Splits "|;"-style separators into their two characters (defaults "|" and ";").
struct TableSeparators
{
    QChar column = QLatin1Char('|');
    QChar row = QLatin1Char(';');
    static TableSeparators fromTableSep(const QString &tableSep);
};

QList<TableColumn> ParseTableFormat(const QString &format, TableSeparators seps);

// The rows of a table text: each row's cells; an empty text gives no rows, and a row
// separator at the very end closes the last row rather than starting an empty one.
QList<QStringList> SplitTableRows(const QString &text, TableSeparators seps);
