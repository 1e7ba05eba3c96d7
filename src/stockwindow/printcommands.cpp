// The print commands of the stock window: the stock report, the count sheet, the slips, the
// slip printer.
#include "stockwindow/fmtovran.h"

#include "common/dates.h"
#include "common/errorreport.h"
#include "data/norv.h"
#include "printing/countsheet.h"
#include "printing/slipprinter.h"
#include "printing/slips.h"
#include "printing/stockreport.h"
#include "stock/stockcounting.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"
#include "stockwindow/stockrowsproxy.h"

#include <QComboBox>
#include <QLineEdit>

StockReportCriteria fmTOVRAN::reportCriteria() const
{
    // The printouts, like the slips, are of the month last queried, whatever the criteria
    // boxes hold since.
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
    return criteria;
}

void fmTOVRAN::cmdPrintRpt_Click()
{
    PrintStockReport(gridSelection(true), reportCriteria(), m_model->countingView());
}

void fmTOVRAN::cmdCountSheet_Click()
{
    CountSheet sheet;
    sheet.month = &month();
    sheet.rows = fgList->rows()->monthRows(false); // the rows the grid shows, in its order
    sheet.locationsOf = [this](int index) {
        QStringList locations;
        for (const CountLine &line : m_counting->rowCount(index).current)
            locations.append(line.location);
        return locations;
    };
    sheet.criteria = reportCriteria();
    sheet.order =
        cboCountSheetOrder->currentIndex() == 1 ? CountSheet::ByLocation : CountSheet::ByItem;
    PrintCountSheet(sheet);
}

void fmTOVRAN::cmdPrintByMistra_Click(int index)
{
    // The slips print book quantities: not for a user who counts blind.
    if (m_model->countingView().isBlind())
        return;
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
