// The stock grid as a view of the month: the model shows the month's rows, the proxy orders
// them and leaves out the rows the display options hide.
#include "stockwindow/fmtovran.h"

#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"
#include "stockwindow/stockrowsproxy.h"

void fmTOVRAN::fillGrid()
{
    // A new month comes in the order of its query.
    fgList->rows()->unsort();
    m_model->reload();
}

StockMonthSelection fmTOVRAN::gridSelection(bool visibleRowsOnly) const
{
    StockMonthSelection selection;
    selection.month = &month();
    selection.rows = fgList->rows()->monthRows(!visibleRowsOnly);
    for (int c = 0; c < ColumnCount; ++c)
        if (!fgList->isColumnHidden(c))
            selection.columns.append(c);
    return selection;
}

void fmTOVRAN::moveToCountCell(int index)
{
    // A row the display options hide is shown while the clerk works on it (until the next
    // query): a scan always lands on a row the clerk sees.
    m_model->setRowHidden(index, false);
    fgList->setCurrentCell(index, ColSTKQty);
    fgList->scrollToTopRow(index);
    if (isEnabled())
        fgList->setFocus();
    else
        m_focusGridWhenEnabled = true;
}
