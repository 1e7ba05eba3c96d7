#pragma once

#include "printing/monthprintout.h"
#include "stock/variancereview.h"

#include <QImage>

class PreviewWindow;
class StockMonth;

// The variance report: the review's lines in its order, the chart on the first page and the
// totals at the end, landscape. Every page carries the title, the month's heading with the
// thresholds and "第 x 頁 / 共 y 頁"; the heading, rows and totals are mirrored for the CSV
// file.
struct VarianceReport
{
    const StockMonth *month = nullptr;
    const VarianceReview *review = nullptr;
    StockReportCriteria criteria;
    QImage chart; // drawn VarianceChartWidth x VarianceChartHeight twips
};

// Composes into the plain preview window frmVSPBlank and shows it; "無資料" when the review
// lists nothing. Errors are reported as "frmVariance_cmdPrint_Click". True when shown.
bool PrintVarianceReport(const VarianceReport &report);

// The composing step alone, into the given window, without showing it. Throws RunError.
void ComposeVarianceReport(PreviewWindow &window, const VarianceReport &report);

// The chart's place on the report's first page (twips): tall enough for the names of its
// twenty bars.
constexpr double VarianceChartWidth = 9000;
constexpr double VarianceChartHeight = 5600;
