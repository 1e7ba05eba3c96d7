#include "printing/stockreport.h"

#include "common/clock.h"
#include "common/errorreport.h"
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

void ComposeStockReport(PreviewWindow &window, const StockMonthSelection &rows,
                        const StockReportCriteria &criteria)
{
    QStringList formats;
    QStringList titles;
    for (int c : rows.columns) {
        formats.append(columnFormat(c));
        titles.append(StockMonth::title(c));
    }
    const QString format = formats.join(QLatin1Char('|')) + QLatin1Char(';');
    auto rowCells = [&](int index) {
        QStringList cells;
        cells.reserve(rows.columns.size());
        for (int c : rows.columns)
            cells.append(rows.month->text(index, c));
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
    vsp.addTable(format, QStringList(), QList<QStringList>{titles}, -1, -1, true);
    window.AddFGLine(titles);
    for (int index : rows.rows) {
        const QStringList cells = rowCells(index);
        vsp.addTable(format, QStringList(), QList<QStringList>{cells}, -1, -1, true);
        window.AddFGLine(cells);
    }
    vsp.endDoc();
}

bool PrintStockReport(const StockMonthSelection &rows, const StockReportCriteria &criteria)
{
    return ReportErrors(QStringLiteral("fmTOVRAN_cmdPrintRpt_Click"), [&] {
        if (!rows.month || rows.month->size() == 0) {
            MsgBox::show(QStringLiteral("無資料"), MsgBox::Icon::Critical);
            return false;
        }
        PreviewWindow &window = frmVSPBlank();
        ComposeStockReport(window, rows, criteria);
        window.show();
        window.raise();
        return true;
    });
}
