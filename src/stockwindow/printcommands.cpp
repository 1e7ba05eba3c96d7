// The print commands of the stock window: the stock report, the count sheet, the count
// detail list, the slips, the slip printer.
#include "stockwindow/fmtovran.h"

#include "common/dates.h"
#include "common/errorreport.h"
#include "data/norv.h"
#include "printing/countdetail.h"
#include "printing/countsheet.h"
#include "printing/slips.h"
#include "printing/stockreport.h"
#include "stock/stockcounting.h"
#include "stockwindow/criteriapage.h"
#include "stockwindow/stockdatapage.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"
#include "stockwindow/stockrowsproxy.h"

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
    criteria.stkNoB = m_criteria->itemFrom();
    criteria.stkNoE = m_criteria->itemTo();
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
    sheet.order = m_data->countSheetOrder() == 1 ? CountSheet::ByLocation : CountSheet::ByItem;
    PrintCountSheet(sheet);
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

void fmTOVRAN::cmdCountDetail_Click()
{
    CountDetail detail;
    detail.month = &month();
    detail.rows = fgList->rows()->monthRows(false); // the rows the grid shows, in its order
    detail.countOf = [this](int index) -> const RowCount & { return m_counting->rowCount(index); };
    detail.criteria = reportCriteria();
    PrintCountDetail(detail);
}
