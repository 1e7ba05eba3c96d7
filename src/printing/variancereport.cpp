#include "printing/variancereport.h"

#include "common/clock.h"
#include "common/dates.h"
#include "common/errorreport.h"
#include "data/norv.h"
#include "platform/print/printdocument.h"
#include "platform/widgets/messagebox.h"
#include "printing/previewwindow.h"
#include "stock/stockmonth.h"

namespace {

using V = VarianceColumns;

// Column widths (twips) of a landscape page's 13,958 between the margins.
QString columnFormat(int col)
{
    static const int widths[V::ColumnCount] = {1100, 2400, 600,  1100, 1100, 1100,
                                               1000, 1300, 1200, 1000, 2000};
    return (V::isFigure(col) ? QLatin1Char('>') : QLatin1Char('<')) + QString::number(widths[col]);
}

QStringList headingLines(const StockMonth &month, const VarianceReview &review)
{
    const StockMonth::Period &p = month.period();
    QString deptName;
    GetDeptName(p.deptNo, deptName);
    const int year = UsesRocCalendar() ? p.year - 1911 : p.year;
    return {QStringLiteral("庫存月份:%1/%2").arg(year).arg(p.month),
            QStringLiteral("部門:") + p.deptNo + QStringLiteral(" - ") + deptName,
            VarianceThresholdsText(review.thresholds),
            QStringLiteral("列印日期:") +
                Clock::now().toString(QStringLiteral("yyyy/MM/dd HH:mm"))};
}

} // namespace

void ComposeVarianceReport(PreviewWindow &window, const StockMonth &month,
                           const VarianceReview &review, const QImage &chart)
{
    window.discardDocument();
    window.setFvHeader(QStringLiteral("差異檢視表"));
    PrintDocument &vsp = window.vsp();
    vsp.setOrientation(PrintDocument::Landscape);
    vsp.startDoc();
    window.ResetPage(V::ColumnCount);

    vsp.setFontSize(10);
    vsp.setTextAlign(6);
    for (const QString &line : headingLines(month, review)) {
        vsp.paragraph(line);
        window.AddFGLine(QStringList{line});
    }
    if (!chart.isNull()) {
        const double top = vsp.currentY() + 100;
        vsp.drawPicture(chart, vsp.marginLeft(), top, vsp.marginLeft() + VarianceChartWidth,
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
    vsp.setFontSize(8);
    // The headings above the first row and every row that begins a page.
    vsp.addTable(format, QStringList(), QList<QStringList>{titles}, -1, -1, true);
    window.AddFGLine(titles);
    for (const VarianceLine &line : review.lines) {
        QStringList cells;
        for (int c = 0; c < V::ColumnCount; ++c)
            cells << V::text(month, line, c);
        vsp.addTable(format, titles, QList<QStringList>{cells}, -1, -1, true);
        window.AddFGLine(cells);
    }
    vsp.setFontSize(10);
    vsp.setCurrentY(vsp.currentY() + 200);
    const QString totals = VarianceTotalsText(review.totals);
    vsp.paragraph(totals);
    window.AddFGLine(QStringList{totals});
    vsp.endDoc();
}

bool PrintVarianceReport(const StockMonth &month, const VarianceReview &review, const QImage &chart)
{
    return ReportErrors(QStringLiteral("frmVariance_cmdPrint_Click"), [&] {
        if (review.lines.isEmpty()) {
            MsgBox::show(QStringLiteral("無資料"), MsgBox::Icon::Critical);
            return false;
        }
        PreviewWindow &window = frmPrint();
        ComposeVarianceReport(window, month, review, chart);
        window.show();
        window.raise();
        return true;
    });
}
