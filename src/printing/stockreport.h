#pragma once

#include "printing/monthprintout.h"
#include "stock/countingview.h"
#include "stock/stockmonth.h"

// The stock report: the month's stock list exactly as the grid shows it (the selection's
// rows and columns, in the grid's order, each cell's display text) under a heading block,
// landscape, one table row per grid row, every heading line and row also mirrored for the CSV file.
//
// Only the columns the user's view shows are printed, each cell as the view shows it (a
// user who counts blind sees no book figure on paper, in the preview or in the CSV file).
//
// Composes into the plain preview window frmVSPBlank and shows it. With no data rows it
// shows "無資料" and opens nothing. Errors are reported as "fmTOVRAN_cmdPrintRpt_Click".
// Returns true when the preview was shown.
bool PrintStockReport(const StockMonthSelection &rows, const StockReportCriteria &criteria,
                      const CountingView &view = CountingView());

// The composing step alone, into the given window, without showing it. Throws RunError.
void ComposeStockReport(PreviewWindow &window, const StockMonthSelection &rows,
                        const StockReportCriteria &criteria,
                        const CountingView &view = CountingView());
