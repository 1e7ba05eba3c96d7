// The stock grid as a view of the month model: grid rows are made from model rows here and
// nowhere else, every grid row names the model row it shows (its row key), and the grid
// asks the month for the texts of a row when it shows them.
#include "stockwindow/fmtovran.h"

#include "platform/grid/flexgrid.h"
#include "platform/widgets/screenunits.h"

#include <QCheckBox>
#include <numeric>

void fmTOVRAN::fillGrid()
{
    fgList->setRedraw(false);
    fgList->clearData();
    QList<int> indexes(m_month.size());
    std::iota(indexes.begin(), indexes.end(), 0);
    fgList->addSourceRows(indexes, 1);
    // The row data is the display factor, as the suite's grids keep it.
    for (int i = 0; i < m_month.size(); ++i)
        fgList->setRowData(i + fgList->fixedRows(), m_month.factor(i));
    fgList->setRedraw(true);
}

int fmTOVRAN::appendGridRow(int index)
{
    fgList->addSourceRows({index}, m_month.factor(index));
    const int row = fgList->rows() - 1;
    styleEntryCells(row);
    return row;
}

void fmTOVRAN::showGridRow(int row)
{
    const int index = monthIndex(row);
    if (index < 0)
        return;
    // A text an edit left in a cell gives way to the month's.
    for (int c = 0; c < ColumnCount; ++c) {
        const QString text = m_month.text(index, c);
        if (fgList->textMatrix(row, c) != text)
            fgList->setTextMatrix(row, c, text);
    }
    fgList->refreshRow(row);
}

int fmTOVRAN::monthIndex(int row) const
{
    const int index = fgList->rowKey(row);
    return index >= 0 && index < m_month.size() ? index : -1;
}

int fmTOVRAN::gridRowOf(int index) const
{
    for (int r = fgList->fixedRows(); r < fgList->rows(); ++r)
        if (fgList->rowKey(r) == index)
            return r;
    return -1;
}

StockMonthSelection fmTOVRAN::gridSelection(bool visibleRowsOnly) const
{
    StockMonthSelection selection;
    selection.month = &m_month;
    for (int r = fgList->fixedRows(); r < fgList->rows(); ++r) {
        const int index = monthIndex(r);
        if (index >= 0 && !(visibleRowsOnly && fgList->rowHidden(r)))
            selection.rows.append(index);
    }
    for (int c = 0; c < fgList->cols(); ++c)
        if (!fgList->colHidden(c))
            selection.columns.append(c);
    return selection;
}

void fmTOVRAN::styleEntryCells(int row)
{
    fgList->setCellBackColor(row, ColSTKQty, row, ColSTKQty, FromWinColor(65535));
    fgList->setCellBackColor(row, ColAvgPrice, row, ColAvgPrice, FromWinColor(8425215));
    fgList->setCellBold(row, ColSTKQty, row, ColSTKQty, true);
    fgList->setCellBold(row, ColAvgPrice, row, ColAvgPrice, true);
}

void fmTOVRAN::applyZeroRule(int row)
{
    const int index = monthIndex(row);
    if (index >= 0 && chkNoDisplayQtyIsZero->isChecked() &&
        m_month.figure(index, ColLastQty) == 0 && m_month.figure(index, ColInQty) == 0)
        fgList->setRowHidden(row, true);
}
