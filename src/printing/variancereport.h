#pragma once

#include "stock/variancereview.h"

#include <QImage>

class PreviewWindow;
class StockMonth;

// The variance report: the review's lines in its order under a heading (month, department,
// the thresholds) with the chart on the first page and the totals at the end, landscape, in
// the framed preview window (title, print time, page numbers); every heading line, row and
// the totals also mirrored for the CSV file.

// Composes into the window without showing it. Throws RunError.
void ComposeVarianceReport(PreviewWindow &window, const StockMonth &month,
                           const VarianceReview &review, const QImage &chart);
// Composes into frmPrint and shows it; "無資料" when the review lists nothing. Errors are
// reported as "frmVariance_cmdPrint_Click". True when the preview was shown.
bool PrintVarianceReport(const StockMonth &month, const VarianceReview &review,
                         const QImage &chart);

// The chart's place on the report's first page (twips).
constexpr double VarianceChartWidth = 9000;
constexpr double VarianceChartHeight = 3800;
