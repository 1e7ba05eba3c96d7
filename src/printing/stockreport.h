#pragma once

#include "stock/stockmonth.h"

#include <QString>

class PreviewWindow;

// The query criteria as typed in the stock window, for the report's heading block.
struct StockReportCriteria
{
    QString year;     // txtYear, as typed
    QString month;    // txtMonth
    QString deptNo;   // txtDeptNoB
    QString deptName; // txtDeptNameB
    QString stkNoB;   // txtSTKNoB, item range start (may be empty)
    QString stkNoE;   // txtSTKNoE, item range end (may be empty)
};

// The stock report: the month's stock list exactly as the grid shows it (the selection's
// rows and columns, in the grid's order, each cell's display text) under a heading block,
// landscape, one table row per grid row, every heading line and row also mirrored for the CSV file.
//
// Composes into the plain preview window frmVSPBlank and shows it. With no data rows it
// shows "無資料" and opens nothing. Errors are reported as "fmTOVRAN_cmdPrintRpt_Click".
// Returns true when the preview was shown.
bool PrintStockReport(const StockMonthSelection &rows, const StockReportCriteria &criteria);

// The composing step alone, into the given window, without showing it. Throws RunError.
void ComposeStockReport(PreviewWindow &window, const StockMonthSelection &rows,
                        const StockReportCriteria &criteria);
