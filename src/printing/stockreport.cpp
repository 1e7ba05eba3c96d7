#include "printing/stockreport.h"

#include "platform/print/printdocument.h"
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
                        const StockReportCriteria &criteria, const CountingView &view)
{
    const QList<int> columns = view.shown(rows.columns);
    QStringList formats;
    QStringList titles;
    for (int c : columns) {
        formats.append(columnFormat(c));
        titles.append(StockMonth::title(c));
    }
    const QString format = formats.join(QLatin1Char('|')) + QLatin1Char(';');
    auto rowCells = [&](int index) {
        QStringList cells;
        cells.reserve(columns.size());
        for (int c : columns)
            cells.append(view.text(*rows.month, index, c));
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
    for (const QString &line : StockHeadingLines(criteria)) {
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

bool PrintStockReport(const StockMonthSelection &rows, const StockReportCriteria &criteria,
                      const CountingView &view)
{
    return ShowMonthPrintout(
        QStringLiteral("fmTOVRAN_cmdPrintRpt_Click"), rows.month && rows.month->size() > 0,
        [&](PreviewWindow &window) { ComposeStockReport(window, rows, criteria, view); });
}
