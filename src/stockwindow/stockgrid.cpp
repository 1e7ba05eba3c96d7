// The stock grid as a view of the month model: grid rows are made from model rows here and
// nowhere else, and every grid row names the model row it shows.
#include "stockwindow/fmtovran.h"

#include "platform/grid/flexgrid.h"
#include "platform/widgets/screenunits.h"

#include <QCheckBox>

QStringList fmTOVRAN::rowTexts(int index) const
{
    QStringList cells;
    cells.reserve(ColumnCount);
    for (int c = 0; c < ColumnCount; ++c)
        cells.append(m_month.text(index, c));
    return cells;
}

void fmTOVRAN::fillGrid()
{
    fgList->setRedraw(false);
    fgList->clearData();
    QList<QStringList> rows;
    rows.reserve(m_month.size());
    for (int i = 0; i < m_month.size(); ++i)
        rows.append(rowTexts(i));
    fgList->addRows(std::move(rows), 1);
    for (int i = 0; i < m_month.size(); ++i) {
        const int r = i + fgList->fixedRows();
        fgList->setRowKey(r, i);
        // The row data is the display factor, as the suite's grids keep it.
        fgList->setRowData(r, m_month.at(i).factor);
    }
    fgList->setRedraw(true);
}

int fmTOVRAN::appendGridRow(int index)
{
    fgList->addRow(rowTexts(index), m_month.at(index).factor);
    const int row = fgList->rows() - 1;
    fgList->setRowKey(row, index);
    styleEntryCells(row);
    return row;
}

void fmTOVRAN::showGridRow(int row)
{
    const int index = monthIndex(row);
    if (index < 0)
        return;
    for (int c = 0; c < ColumnCount; ++c) {
        const QString text = m_month.text(index, c);
        if (fgList->textMatrix(row, c) != text)
            fgList->setTextMatrix(row, c, text);
    }
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
