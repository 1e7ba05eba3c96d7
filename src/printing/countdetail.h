#pragma once

#include "printing/monthprintout.h"

#include <QList>
#include <functional>

class PreviewWindow;
class StockMonth;
struct RowCount;

// The count detail list ("盤點明細表"): for every row with count lines, its current lines
// (location, quantity as the row shows it, clerk, workstation, time) and their total, the
// row's count, with the recount mark. Every page carries the title, department, period,
// printing date and "第 x 頁 / 共 y 頁"; the lines are mirrored for the CSV file.
struct CountDetail
{
    const StockMonth *month = nullptr;
    QList<int> rows; // month rows, in the grid's order; those without lines are left out
    std::function<const RowCount &(int monthRow)> countOf;
    StockReportCriteria criteria;
};

// Composes into the plain preview window frmVSPBlank and shows it; "無資料" when no row has
// a line. Errors are reported as "fmTOVRAN_cmdCountDetail_Click". True when shown.
bool PrintCountDetail(const CountDetail &detail);

// The composing step alone, into the given window, without showing it. Throws RunError.
void ComposeCountDetail(PreviewWindow &window, const CountDetail &detail);
