#include "common/stockperiod.h"

#include "common/numtext.h"

QDate PeriodEndDate(int year, int month, const QString &stockEndDate)
{
    // Months outside 1..12 carry into the neighbouring years.
    const QDate first = QDate(year, 1, 1).addMonths(month - 1);
    const int last = first.daysInMonth();
    // No day number (empty, or text without one) means calendar months.
    const int closingDay = ValInt(stockEndDate);
    return first.addDays((closingDay >= 1 && closingDay < last ? closingDay : last) - 1);
}

QDate PreviousPeriodEnd(int year, int month, const QString &stockEndDate)
{
    return PeriodEndDate(year, month - 1, stockEndDate);
}

QDate PeriodStartDate(int year, int month, const QString &stockEndDate)
{
    return PreviousPeriodEnd(year, month, stockEndDate).addDays(1);
}
