#include "printing/stockreport.h"

#include "common/clock.h"
#include "common/errorreport.h"
#include "platform/grid/flexgrid.h"
#include "platform/print/printdocument.h"
#include "platform/widgets/messagebox.h"
#include "printing/previewwindow.h"

#include <QList>

namespace {

// The item number, name, specification and unit columns are text; the rest are figures.
QString columnFormat(int col)
{
    switch (col) {
    case 3:
        return QStringLiteral("<900");
    case 4:
        return QStringLiteral("<1200");
    case 5:
        return QStringLiteral("<1500");
    case 6:
        return QStringLiteral("<700");
    default:
        return QStringLiteral(">800");
    }
}

} // namespace

void ComposeStockReport(PreviewWindow &window, const FlexGrid &grid,
                        const StockReportCriteria &criteria)
{
    QList<int> columns;
    QStringList formats;
    for (int c = 0; c < grid.cols(); ++c) {
        if (grid.colHidden(c))
            continue;
        columns.append(c);
        formats.append(columnFormat(c));
    }
    const QString format = formats.join(QLatin1Char('|')) + QLatin1Char(';');
    auto rowCells = [&](int r) {
        QStringList cells;
        cells.reserve(columns.size());
        for (int c : columns)
            cells.append(grid.textMatrix(r, c));
        return cells;
    };

    // The framed window supplies the printer list; it is loaded before every printout.
    frmPrint();
    window.discardDocument();
    PrintDocument &vsp = window.vsp();
    vsp.setOrientation(PrintDocument::Landscape);
    vsp.startDoc();
    window.ResetPage(20);

    vsp.setFontSize(16);
    vsp.setTextAlign(7);
    vsp.paragraph(QStringLiteral("庫存報表"));
    vsp.setCurrentY(vsp.currentY() + 200);

    vsp.setFontSize(10);
    vsp.setTextAlign(6);
    QStringList heading;
    heading << QStringLiteral("庫存月份:") + criteria.year + QLatin1Char('/') + criteria.month;
    heading << QStringLiteral("部門:") + criteria.deptNo + QStringLiteral(" - ") +
                   criteria.deptName;
    if (!criteria.stkNoB.isEmpty() || !criteria.stkNoE.isEmpty()) {
        QString range = QStringLiteral("物料:");
        if (!criteria.stkNoB.isEmpty())
            range += criteria.stkNoB;
        if (!criteria.stkNoE.isEmpty())
            range += QStringLiteral(" - ") + criteria.stkNoE;
        heading << range;
    }
    heading << QStringLiteral("列印日期:") +
                   Clock::now().toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    for (const QString &line : heading) {
        vsp.paragraph(line);
        window.AddFGLine(QStringList{line});
    }

    vsp.setCurrentY(vsp.currentY() + 200);
    vsp.setFontSize(8);
    // Cells are handed over one by one, so that a "|" or ";" in an item's name stays in
    // its cell on paper and in the CSV file.
    const QStringList titles = rowCells(0);
    vsp.addTable(format, QStringList(), QList<QStringList>{titles}, -1, -1, true);
    window.AddFGLine(titles);
    for (int r = 1; r < grid.rows(); ++r) {
        if (grid.rowHidden(r))
            continue;
        const QStringList cells = rowCells(r);
        vsp.addTable(format, QStringList(), QList<QStringList>{cells}, -1, -1, true);
        window.AddFGLine(cells);
    }
    vsp.endDoc();
}

bool PrintStockReport(const FlexGrid &grid, const StockReportCriteria &criteria)
{
    try {
        if (grid.rows() == grid.fixedRows()) {
            MsgBox::show(QStringLiteral("無資料"), MsgBox::Icon::Critical);
            return false;
        }
        PreviewWindow &window = frmVSPBlank();
        ComposeStockReport(window, grid, criteria);
        window.show();
        window.raise();
        return true;
    } catch (const RunError &e) {
        ShowErr(QStringLiteral("fmTOVRAN_cmdPrintRpt_Click"), e);
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("fmTOVRAN_cmdPrintRpt_Click"), ToRunError(e));
    }
    return false;
}
