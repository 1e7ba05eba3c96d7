// The print commands of the stock window: the stock report, the slips, the slip printer.
#include "stockwindow/fmtovran.h"

#include "common/dates.h"
#include "common/errorreport.h"
#include "data/norv.h"
#include "printing/slipprinter.h"
#include "printing/slips.h"
#include "printing/stockreport.h"

#include <QLineEdit>

void fmTOVRAN::cmdPrintRpt_Click()
{
    // The report, like the slips, is of the month last queried, whatever the criteria boxes
    // hold since.
    StockReportCriteria criteria;
    if (month().isLoaded()) {
        const StockMonth::Period &p = month().period();
        criteria.year = QString::number(UsesRocCalendar() ? p.year - 1911 : p.year);
        criteria.month = QString::number(p.month);
        criteria.deptNo = p.deptNo;
        ReportErrors(QStringLiteral("fmTOVRAN_cmdPrintRpt_Click"),
                     [&] { return GetDeptName(p.deptNo, criteria.deptName); });
    }
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
