// The print commands of the stock window: the stock report, the slips, the slip printer.
#include "stockwindow/fmtovran.h"

#include "printing/slipprinter.h"
#include "printing/slips.h"
#include "printing/stockreport.h"

#include <QLineEdit>

void fmTOVRAN::cmdPrintRpt_Click()
{
    StockReportCriteria criteria;
    criteria.year = txtYear->text();
    criteria.month = txtMonth->text();
    criteria.deptNo = txtDeptNoB->text();
    criteria.deptName = txtDeptNameB->text();
    criteria.stkNoB = txtSTKNoB->text();
    criteria.stkNoE = txtSTKNoE->text();
    PrintStockReport(gridSelection(true), criteria);
}

void fmTOVRAN::cmdPrintByMistra_Click(int index)
{
    SlipSource source;
    // Every row of the month in the grid's order, hidden ones too.
    source.rows = gridSelection(false);
    source.elaMsg = elaMsg;
    source.fontName = m_params.FontName;
    source.stockEndDate = m_params.StockEndDate;
    ::cmdPrintByMistra_Click(index, source);
}

void fmTOVRAN::cmdListPrinter_Click(int index)
{
    ::cmdListPrinter_Click(index, txtKXPrinter);
}
