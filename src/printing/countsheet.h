#pragma once

#include "printing/monthprintout.h"

#include <QList>
#include <QStringList>
#include <functional>

class PreviewWindow;
class StockMonth;

// The count sheet ("盤點表"): the month's items to be counted on paper, never a figure of
// the books or a count. One line per item and count location (one line for an item counted
// nowhere yet): item number, name, specification, unit, location and an empty ruled count
// cell to write on; ordered by item number or by location (then item number; lines of no
// location last). Every page carries the title, department, period, printing date and
// "第 x 頁 / 共 y 頁"; the last one ends with the counter's and the checker's signature lines.
// The lines are mirrored for the CSV file.
struct CountSheet
{
    enum Order { ByItem, ByLocation };

    const StockMonth *month = nullptr;
    QList<int> rows; // month rows, in the grid's order
    // The row's current count locations ("" is the location of counts typed without one);
    // none: the row's one line has no location.
    std::function<QStringList(int monthRow)> locationsOf;
    StockReportCriteria criteria;
    Order order = ByItem;
};

// Composes into the plain preview window frmVSPBlank and shows it; "無資料" without rows.
// Errors are reported as "fmTOVRAN_cmdCountSheet_Click". Returns true when shown.
bool PrintCountSheet(const CountSheet &sheet);

// The composing step alone, into the given window, without showing it. Throws RunError.
void ComposeCountSheet(PreviewWindow &window, const CountSheet &sheet);
