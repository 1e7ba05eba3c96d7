#include "platform/print/tableformat.h"

TableSeparators TableSeparators::fromTableSep(const QString &tableSep)
{
    TableSeparators seps;
    if (tableSep.size() >= 1)
        seps.column = tableSep.at(0);
    if (tableSep.size() >= 2)
        seps.row = tableSep.at(1);
    return seps;
}

QList<TableColumn> ParseTableFormat(const QString &format, TableSeparators seps)
{
    QString text = format.trimmed();
    const int end = text.indexOf(seps.row);
    if (end >= 0)
        text.truncate(end);
    QList<TableColumn> columns;
    if (text.isEmpty())
        return columns;
    const QStringList entries = text.split(seps.column);
    columns.reserve(entries.size());
    for (const QString &raw : entries) {
        const QString entry = raw.trimmed();
        TableColumn column;
        int pos = 0;
        if (pos < entry.size()) {
            const QChar c = entry.at(pos);
            if (c == QLatin1Char('<')) {
                column.align = TableColumn::Left;
                ++pos;
            } else if (c == QLatin1Char('^')) {
                column.align = TableColumn::Centre;
                ++pos;
            } else if (c == QLatin1Char('>')) {
                column.align = TableColumn::Right;
                ++pos;
            }
        }
        int digitsEnd = pos;
        while (digitsEnd < entry.size() && entry.at(digitsEnd).isDigit())
            ++digitsEnd;
        column.width = entry.mid(pos, digitsEnd - pos).toInt();
        column.singleLine = entry.indexOf(QLatin1Char('~'), digitsEnd) >= 0;
        columns.append(column);
    }
    return columns;
}

QList<QStringList> SplitTableRows(const QString &text, TableSeparators seps)
{
    QList<QStringList> rows;
    if (text.isEmpty())
        return rows;
    QStringList rowTexts = text.split(seps.row);
    if (rowTexts.size() > 1 && rowTexts.last().isEmpty())
        rowTexts.removeLast();
    rows.reserve(rowTexts.size());
    for (const QString &row : rowTexts)
        rows.append(row.split(seps.column));
    return rows;
}
