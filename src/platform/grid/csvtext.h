#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated text as spreadsheet programs read it: RFC 4180 quoting (a field holding
// a comma, a quote, CR or LF is quoted, inner quotes doubled), CR LF line ends, and files
// in UTF-8 with a byte-order mark so that Traditional Chinese Windows does not take them
// for CP950.

// One field. Text that a spreadsheet would run as a formula (beginning with = + - @ and
// not a plain number) gets a leading apostrophe.
QString CsvField(const QString &text);
// One line of fields, without the line end.
QString CsvLine(const QStringList &fields);

// Writes the lines (each followed by CR LF) to a file in UTF-8 with a byte-order mark.
bool WriteCsvFile(const QString &fileName, const QList<QStringList> &lines);

// Reads comma-separated text back into lines of fields (a leading byte-order mark is
// skipped; quoted fields may hold commas, quotes and line breaks).
QList<QStringList> ParseCsv(const QString &text);
QList<QStringList> ReadCsvFile(const QString &fileName, bool *ok = nullptr);
