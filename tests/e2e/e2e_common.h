#pragma once

#include "platform/db/connection.h"

#include <QDate>
#include <QString>
#include <QStringList>

// Shared pieces of the end-to-end runs.
namespace E2E {

QString artifactDir(const QString &run); // artifacts/e2e/<run>
// The period the program proposes (last month), as typed: ROC year (the demo settings file's
// calendar begins with "C") and month.
QString lastMonthYear();
QString lastMonthMonth();
// pdftotext of a PDF file (UTF-8), empty when it cannot be read.
QString pdfText(const QString &file);
// The lines of a CSV file written by the preview (UTF-8 with BOM, CR LF).
QStringList csvLines(const QString &file);
// The first CSV line whose first field is `first`, split at commas.
QStringList csvRow(const QStringList &lines, const QString &first);
// Whether a date/time text of the database is today.
bool isToday(const QString &dateText);
// Polls a scalar query until it gives `expected` (or the timeout passes); returns the last.
QString waitScalar(const Ado::ConnectionPtr &db, const QString &sql, const QString &expected,
                   int timeoutMs = 10000);
QString scalar(const Ado::ConnectionPtr &db, const QString &sql);
// The number of error records in an .ERR file.
int errRecords(const QByteArray &errFile);

} // namespace E2E
