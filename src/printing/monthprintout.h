#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class PreviewWindow;
class PrintDocument;

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

// The title, heading line and "第 x 頁 / 共 y 頁" of every page of a finished portrait
// document whose top margin leaves room for them.
void DrawPageFrames(PrintDocument &vsp, const QString &title, const QString &headingLine);

// Starts a portrait list of the month in the window: a new document whose top margin leaves
// room for the page frame, the CSV mirror set to the list's columns and given the heading.
void StartMonthList(PreviewWindow &window, const QStringList &heading, int columns,
                    double topMargin);
// One line of the list: a table row (the titles again above a row that begins a page) and
// its CSV mirror.
void AddMonthListLine(PreviewWindow &window, const QString &format, const QStringList &titles,
                      const QStringList &cells);
