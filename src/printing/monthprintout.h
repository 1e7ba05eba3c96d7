#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class PreviewWindow;

// The query criteria as typed in the stock window, for the heading of the month's printouts.
struct StockReportCriteria
{
    QString year;     // txtYear, as typed
    QString month;    // txtMonth
    QString deptNo;   // txtDeptNoB
    QString deptName; // txtDeptNameB
    QString stkNoB;   // txtSTKNoB, item range start (may be empty)
    QString stkNoE;   // txtSTKNoE, item range end (may be empty)
};

// The heading lines of the month's printouts: period, department, item range (when one was
// typed) and printing date.
QStringList StockHeadingLines(const StockReportCriteria &criteria);

// Composes a printout of the month into the plain preview window frmVSPBlank and shows it.
// Without rows it shows "無資料" and opens nothing. Errors are reported under errorLabel.
// Returns true when the preview was shown.
bool ShowMonthPrintout(const QString &errorLabel, bool hasRows,
                       const std::function<void(PreviewWindow &)> &compose);
