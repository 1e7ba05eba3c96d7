#include "printing/variancereport.h"

#include "platform/print/printdocument.h"
#include "printing/previewwindow.h"

namespace {

using V = VarianceColumns;

constexpr double TopMargin = 1500;

// Column widths (twips) of a landscape page between the plain window's margins.
QString columnFormat(int col)
{
    static const int widths[V::ColumnCount] = {1200, 2800, 700,  1200, 1200, 1200,
                                               1100, 1400, 1300, 1100, 2000};
    return (V::isFigure(col) ? QLatin1Char('>') : QLatin1Char('<')) + QString::number(widths[col]);
}

} // namespace

void ComposeVarianceReport(PreviewWindow &window, const VarianceReport &report)
{
    const StockMonth &month = *report.month;
    const VarianceReview &review = *report.review;
    QStringList heading = StockHeadingLines(report.criteria);
    heading.insert(heading.size() - 1, VarianceThresholdsText(review.thresholds));

    frmPrint(); // the framed window supplies the printer list; loaded before every printout
    window.discardDocument();
    PrintDocument &vsp = window.vsp();
    vsp.setOrientation(PrintDocument::Landscape);
    vsp.setMarginTop(TopMargin);
    vsp.startDoc();
    window.ResetPage(V::ColumnCount);
    for (const QString &line : heading)
        window.AddFGLine(QStringList{line});

    if (!report.chart.isNull()) {
        const double top = vsp.currentY();
        vsp.drawPicture(report.chart, vsp.marginLeft(), top, vsp.marginLeft() + VarianceChartWidth,
                        top + VarianceChartHeight);
        vsp.setCurrentY(top + VarianceChartHeight + 200);
    }

    QStringList formats;
    QStringList titles;
    for (int c = 0; c < V::ColumnCount; ++c) {
        formats << columnFormat(c);
        titles << V::title(c);
    }
    const QString format =
        formats.join(TableSeparators::fromTableSep(vsp.tableSep()).column) + QLatin1Char(';');
    vsp.setFontSize(9);
    // The headings above the first row and above every row that begins a page.
    vsp.addTable(format, QStringList(), QList<QStringList>{titles}, 0xE0E0E0, -1, true);
    window.AddFGLine(titles);
    for (const VarianceLine &line : review.lines) {
        QStringList cells;
        for (int c = 0; c < V::ColumnCount; ++c)
            cells << V::text(month, line, c);
        vsp.addTable(format, titles, QList<QStringList>{cells}, 0xE0E0E0, -1, true);
        window.AddFGLine(cells);
    }
    vsp.setFontSize(10);
    vsp.setCurrentY(vsp.currentY() + 200);
    const QString totals = VarianceTotalsText(review.totals);
    vsp.paragraph(totals);
    window.AddFGLine(QStringList{totals});
    vsp.endDoc();
    DrawPageFrames(vsp, QStringLiteral("差異檢視表"), heading.join(QStringLiteral("    ")));
}

bool PrintVarianceReport(const VarianceReport &report)
{
    return ShowMonthPrintout(QStringLiteral("frmVariance_cmdPrint_Click"),
                             report.month && report.review && !report.review->lines.isEmpty(),
                             [&](PreviewWindow &window) { ComposeVarianceReport(window, report); });
}
