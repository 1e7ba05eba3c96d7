#pragma once

#include "stock/stockmonth.h"

#include <QDate>
#include <QString>

class ElasticPanel;

// The department's stock-in slip (closing quantities) and issue slip (opening
// quantities), printed from the loaded month on the customer's slip form: 20 item lines a
// page, a heading block per page, the totals and a signature block.

// Slip kinds as the composer tells them apart.
inline const QString StockInSlipKind = QStringLiteral("入庫單");
inline const QString IssueSlipKind = QStringLiteral("領用單");

// What the slip buttons take from the stock window.
struct SlipSource
{
    StockMonthSelection rows;       // the loaded month's rows in the grid's order
    ElasticPanel *elaMsg = nullptr; // the window's message panel
    QString fontName;               // window parameter "FontName"
    QString stockEndDate;           // window parameter "StockEndDate"
};

// The slip button with the given index: 1 prints the stock-in slip, 0 the issue slip.
// The slip belongs to the loaded month: its period (year, month, department) makes the
// slip number, the date and the department line, whatever the criteria boxes say by now.
// Checks the input (messages go to the message panel), derives number, date, page count,
// department and company name, and composes the slip into the plain preview window.
void cmdPrintByMistra_Click(int index, const SlipSource &source);

// Composes a slip from the rows whose quantity is not 0 and shows the preview.
// kind StockInSlipKind prints the closing quantities, any other kind the opening ones.
void PrintReportMistra(const StockMonthSelection &rows, const QString &fontName,
                       const QString &slipNo, const QString &kind, int pageCount,
                       const QString &deptNo, const QString &deptName, const QString &slipDate,
                       const QString &compName);

// Slip number: year digits 3 and 4, the month as two digits, "-", the department, and
// the suffix ("A" issue, "B" stock-in): 1305-A01B.
QString SlipNumber(int westernYear, int month, const QString &deptNo, const QString &suffix);

// The slip's date: the period's first day for the issue slip, its last day for the
// stock-in slip.
QDate SlipDate(bool stockIn, int westernYear, int month, const QString &stockEndDate);

// A whole number with thousands separators; empty for 0 (the totals' "###,#").
QString GroupedWhole(double value);
