#pragma once

#include <QDate>
#include <QString>

// Stock periods. The period of a (Western) year and month ends on the closing day of the
// "StockEndDate" parameter, or on the month's last day when the month is shorter or no
// closing day is set; it starts the day after the previous month's period ended. So the
// periods follow one another without a gap or an overlap, every period ends inside its
// own month, and each period's opening records are the previous period's closing ones.

// The period's last day: the StkDate of its records, its deadline's base and the stock-in
// slip's date.
QDate PeriodEndDate(int year, int month, const QString &stockEndDate);

// The previous period's last day: the StkDate of the opening balance records.
QDate PreviousPeriodEnd(int year, int month, const QString &stockEndDate);

// The period's first day: the issue slip's date.
QDate PeriodStartDate(int year, int month, const QString &stockEndDate);
