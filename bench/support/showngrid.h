#pragma once

#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"
#include "stockwindow/stockrowsproxy.h"

#include <QAbstractItemModel>
#include <QString>

// The stock grid as the clerk sees it: the rows shown, numbered from 0 in the grid's order,
// each cell's text as the view paints it (through the view's model).
namespace ShownGrid {

inline int rows(const StockGridView &view)
{
    return view.model()->rowCount();
}

inline QString text(const StockGridView &view, int row, int col)
{
    return view.model()->index(row, col).data().toString();
}

// The shown row of a month row, -1 when the display options hide it.
inline int rowOf(const StockGridView &view, int monthRow)
{
    return view.rows()->mapFromSource(view.monthModel()->index(monthRow, 0)).row();
}

// The month row behind a shown row.
inline int monthRow(const StockGridView &view, int row)
{
    return view.rows()->mapToSource(view.model()->index(row, 0)).row();
}

// The item number of the current cell's row, empty when there is none.
inline QString currentItem(const StockGridView &view)
{
    const QModelIndex current = view.currentIndex();
    return current.isValid() ? text(view, current.row(), StockColumns::ColSTKNo) : QString();
}

} // namespace ShownGrid
