#include "printing/monthprintout.h"

#include "common/clock.h"
#include "common/errorreport.h"
#include "platform/print/printdocument.h"
#include "platform/widgets/messagebox.h"
#include "printing/previewwindow.h"

QStringList StockHeadingLines(const StockReportCriteria &criteria)
{
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
    return heading;
}

bool ShowMonthPrintout(const QString &errorLabel, bool hasRows,
                       const std::function<void(PreviewWindow &)> &compose)
{
    return ReportErrors(errorLabel, [&] {
        if (!hasRows) {
            MsgBox::show(QStringLiteral("無資料"), MsgBox::Icon::Critical);
            return false;
        }
        PreviewWindow &window = frmVSPBlank();
        compose(window);
        window.show();
        window.raise();
        return true;
    });
}

void DrawPageFrames(PrintDocument &vsp, const QString &title, const QString &headingLine)
{
    const int pages = vsp.pageCount();
    for (int p = 1; p <= pages; ++p) {
        vsp.startOverlay(p);
        vsp.setFontBold(true);
        vsp.setFontSize(16);
        vsp.setTextAlign(7);
        vsp.setCurrentX(vsp.marginLeft());
        vsp.setCurrentY(500);
        vsp.paragraph(title);
        vsp.setFontBold(false);
        vsp.setFontSize(10);
        vsp.setTextAlign(6);
        vsp.setCurrentX(vsp.marginLeft());
        vsp.setCurrentY(vsp.marginTop() - 500);
        vsp.paragraph(headingLine);
        vsp.setTextAlign(7);
        vsp.setCurrentX(vsp.marginLeft());
        vsp.setCurrentY(vsp.pageHeight() - vsp.marginBottom() + 200);
        vsp.paragraph(QStringLiteral("第 %1 頁 / 共 %2 頁").arg(p).arg(pages));
        vsp.endOverlay();
    }
}

void StartMonthList(PreviewWindow &window, const QStringList &heading, int columns,
                    double topMargin)
{
    frmPrint(); // the framed window supplies the printer list; loaded before every printout
    window.discardDocument();
    PrintDocument &vsp = window.vsp();
    vsp.setOrientation(PrintDocument::Portrait);
    vsp.setMarginTop(topMargin);
    vsp.startDoc();
    window.ResetPage(columns);
    for (const QString &line : heading)
        window.AddFGLine(QStringList{line});
}

void AddMonthListLine(PreviewWindow &window, const QString &format, const QStringList &titles,
                      const QStringList &cells)
{
    window.vsp().addTable(format, titles, QList<QStringList>{cells}, 0xE0E0E0, -1, true);
    window.AddFGLine(cells);
}
