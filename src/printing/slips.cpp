#include "printing/slips.h"

#include "common/clock.h"
#include "common/dates.h"
#include "common/errorreport.h"
#include "common/localeformats.h"
#include "common/numtext.h"
#include "common/stockperiod.h"
#include "data/adodb.h"
#include "data/norv.h"
#include "forms/formhelpers.h"
#include "platform/print/printdocument.h"
#include "platform/widgets/messagebox.h"
#include "printing/previewwindow.h"
#include "stock/stockcolumns.h"

#include <QLocale>
#include <cmath>

namespace {

const QString SlipFormat =
    QStringLiteral("^500~|<1500~|<2600~|<1600~|<1000~|>1000|>1000|>1000|^0|<0;");
const QStringList SlipHeading =
    QStringLiteral("序號|物料編號|物料名稱|規格|單位|數量|單價|金額|入庫|大類別")
        .split(QLatin1Char('|'));
constexpr int LinesPerPage = 20;

// Grid columns of the stock grid that the slips print.
constexpr int ColSTKNo = StockColumns::ColSTKNo;
constexpr int ColUnit = StockColumns::ColUnit;
constexpr int ColOpenQty = StockColumns::ColLastQty;
constexpr int ColOpenAmt = StockColumns::ColLastAmt;
constexpr int ColStockQty = StockColumns::ColSTKQty;
constexpr int ColStockAmt = StockColumns::ColSTKAmt;

// Positions of the slip form (twips).
constexpr double RowStepExtra = 212;
constexpr double CarryOverX = 3500, CarryOverY = 12400;
constexpr double TotalX = 7500, TotalY = 12320, TotalRight = 8300, SecondTotalDrop = 480;

bool isStockIn(const QString &kind)
{
    return kind == StockInSlipKind;
}

int quantityColumn(bool stockIn)
{
    return stockIn ? ColStockQty : ColOpenQty;
}

// Everything the heading block of each page prints.
struct SlipHeader
{
    QString fontName;
    QString compName;
    QString title;     // "入 庫 單" / "領 用 單"
    QString noLabel;   // "入庫單號 :" / "領用單號 :"
    QString dateLabel; // "入庫日期：" / "領用日期："
    QString slipNo;
    QString slipDate;
    QString dept14; // code and name run together, first 14 characters
    QString printed;
    bool stockIn = false;
    int pageCount = 0;
};

void printAt(PrintDocument &vsp, double x, double y, const QString &text)
{
    vsp.setCurrentX(x);
    vsp.setCurrentY(y);
    vsp.text(text);
}

// Lines that are one cell in the CSV mirror, whatever characters they hold.
void mirror(PreviewWindow &preview, const QString &line)
{
    preview.AddFGLine(QStringList{line});
}

void printHeading(PrintDocument &vsp, PreviewWindow &preview, const SlipHeader &h, int page)
{
    if (!h.fontName.isEmpty())
        vsp.setFontName(h.fontName);
    vsp.setMarginBottom(100);
    vsp.setTextAlign(6);

    vsp.setFontSize(16);
    printAt(vsp, 4800, 500, h.compName);
    printAt(vsp, 5200, 900, h.title);
    mirror(preview, h.title);

    vsp.setFontSize(12);
    printAt(vsp, 200, 500, h.noLabel + h.slipNo);
    printAt(vsp, 200, 750, h.dateLabel + h.slipDate);
    if (h.stockIn)
        mirror(preview, h.noLabel + h.slipNo + h.dateLabel + h.slipDate);
    else
        mirror(preview, h.dateLabel + h.slipDate + QStringLiteral("部門：") + h.dept14);
    printAt(vsp, 7600, 1000, QStringLiteral("部門：") + h.dept14);
    if (h.stockIn)
        mirror(preview, QStringLiteral("部門：") + h.dept14);
    printAt(vsp, 7600, 1250, QStringLiteral("列印日期：") + h.printed);
    printAt(vsp, 200, 1500, QStringLiteral("備  註"));
    mirror(preview, QStringLiteral("列印日期：") + h.printed + QStringLiteral("備  註"));
    vsp.setCurrentX(7600);
    vsp.setCurrentY(1500);
    vsp.paragraph(QStringLiteral("頁次:%1/%2").arg(page).arg(h.pageCount));

    vsp.setCurrentX(0);
    vsp.setCurrentY(vsp.currentY() + 450);
    vsp.setFontSize(11);
    vsp.setTableSep(QStringLiteral("|;"));
    vsp.setMarginLeft(100);
    vsp.setTextAlign(6);
    vsp.addTable(SlipFormat, QStringList(), {SlipHeading}, -1, 0);
    preview.AddFGLine(SlipHeading);
    vsp.setCurrentX(200);
    vsp.setCurrentY(vsp.currentY() + 250);
}

void printTotals(PrintDocument &vsp, double total)
{
    const double marginRight = vsp.marginRight();
    vsp.setMarginRight(vsp.pageWidth() - TotalRight);
    vsp.setTextAlign(8);
    vsp.setCurrentX(TotalX);
    vsp.setCurrentY(TotalY);
    vsp.paragraph(GroupedWhole(total));
    // The form's second total box repeats the grand total (see the slip notes).
    vsp.setCurrentX(TotalX);
    vsp.setCurrentY(TotalY + SecondTotalDrop);
    vsp.paragraph(GroupedWhole(total));
    vsp.setMarginRight(marginRight);
}

void printSignatures(PrintDocument &vsp)
{
    vsp.setTextAlign(6);
    printAt(vsp, 9000, 13210, QStringLiteral("商    管"));
    // The titles' line ends with a line break: the last two titles go on the line below,
    // where they stand clear of the ones above.
    vsp.setCurrentX(850);
    vsp.setCurrentY(13450);
    vsp.paragraph(QStringLiteral("經  理             課  長               股  長              "
                                 "廠商簽收             營業簽收    "));
    vsp.setCurrentX(8500);
    vsp.text(QStringLiteral("主  管       驗  收"));
}

} // namespace

QString SlipNumber(int westernYear, int month, const QString &deptNo, const QString &suffix)
{
    const QString year = QStringLiteral("%1").arg(westernYear, 4, 10, QLatin1Char('0'));
    return year.mid(2, 2) + QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')) +
           QLatin1Char('-') + deptNo.trimmed() + suffix;
}

QDate SlipDate(bool stockIn, int westernYear, int month, const QString &stockEndDate)
{
    return stockIn ? PeriodEndDate(westernYear, month, stockEndDate)
                   : PeriodStartDate(westernYear, month, stockEndDate);
}

QString GroupedWhole(double value)
{
    const double rounded = std::round(value); // halves away from zero
    if (rounded == 0 || !std::isfinite(rounded))
        return QString();
    return QLocale(QLocale::English).toString(rounded, 'f', 0);
}

void PrintReportMistra(const StockMonthSelection &rows, const QString &fontName,
                       const QString &slipNo, const QString &kind, int pageCount,
                       const QString &deptNo, const QString &deptName, const QString &slipDate,
                       const QString &compName)
{
    ReportErrors(QStringLiteral("fmTOVRAN_PrintReportMistra"), [&] {
        if (rows.rows.isEmpty()) {
            MsgBox::show(QStringLiteral("無資料"), MsgBox::Icon::Critical);
            return;
        }
        frmPrint(); // loaded before every printout
        PreviewWindow &preview = frmVSPBlank();
        PrintDocument &vsp = preview.vsp();
        preview.discardDocument();
        vsp.setOrientation(PrintDocument::Portrait);
        vsp.startDoc();
        preview.ResetPage(20);
        // Every row is one line at a fixed step and the form breaks its own pages, so the
        // pages printed are the pages counted in the heading.
        vsp.setAutoPageBreak(false);

        const bool stockIn = isStockIn(kind);
        const int qtyCol = quantityColumn(stockIn);
        const int amtCol = stockIn ? ColStockAmt : ColOpenAmt;
        const QDateTime now = Clock::now();

        SlipHeader header;
        header.fontName = fontName;
        header.compName = compName;
        header.stockIn = stockIn;
        header.title = stockIn ? QStringLiteral("入 庫 單") : QStringLiteral("領 用 單");
        header.noLabel = stockIn ? QStringLiteral("入庫單號 :") : QStringLiteral("領用單號 :");
        header.dateLabel = stockIn ? QStringLiteral("入庫日期：") : QStringLiteral("領用日期：");
        header.slipNo = slipNo;
        header.slipDate = slipDate;
        header.dept14 = (deptNo + deptName).left(14);
        header.printed = ShortDateText(now.date()) + ShortTimeText(now.time());
        header.pageCount = pageCount;

        int line = 1;
        int page = 0;
        double total = 0;
        const StockMonth &month = *rows.month;
        for (int index : rows.rows) {
            const double quantity = month.figure(index, qtyCol);
            if (quantity == 0)
                continue;
            // A full page is carried over only when another row follows, so the totals
            // share the last row's page.
            if (line == LinesPerPage + 1) {
                printAt(vsp, CarryOverX, CarryOverY, QStringLiteral("過次頁"));
                vsp.newPage();
                line = 1;
            }
            if (line == 1)
                printHeading(vsp, preview, header, ++page);
            const double amount = month.figure(index, amtCol);
            const double unitPrice = RoundHalfUp(amount / quantity, 100);
            // The cells go over one by one, so a separator character in an item's name
            // or specification stays inside its cell.
            QStringList cells{QString::number(line)};
            for (int c = ColSTKNo; c <= ColUnit; ++c)
                cells << month.text(index, c);
            cells << NumText(quantity) << NumText(unitPrice) << NumText(amount);
            total += amount;

            vsp.setCurrentX(200);
            vsp.addTable(SlipFormat, SlipHeading, {cells}, -1, -1, true);
            preview.AddFGLine(cells);
            vsp.setCurrentY(vsp.currentY() + RowStepExtra);
            ++line;
        }
        printTotals(vsp, total);
        printSignatures(vsp);
        vsp.endDoc();
        preview.show();
    });
}

void cmdPrintByMistra_Click(int index, const SlipSource &source)
{
    ReportErrors(QStringLiteral("fmTOVRAN_cmdPrintByMistra_Click"), [&] {
        const StockMonth::Period period =
            source.rows.month ? source.rows.month->period() : StockMonth::Period();
        const QString deptNo = period.deptNo.trimmed();
        if (deptNo.isEmpty()) {
            DispElaMsg(source.elaMsg, QStringLiteral("請先選擇一個部門"));
            return;
        }
        if (!Conn().gCNT)
            throw RunError(RunError::InvalidCall, QStringLiteral("資料庫未連線"));
        QString compName;
        {
            Ado::Recordset rs =
                Conn().gCNT->execute(QStringLiteral(" Select compname From Corp ") +
                                     QStringLiteral("   where CompNo = ") + QuotStr(deptNo));
            if (!rs.eof())
                compName = rs.text(0);
        }
        if (source.rows.rows.isEmpty()) {
            DispElaMsg(source.elaMsg, QStringLiteral("無資料可列印"));
            return;
        }
        // The loaded department's name, made as the criteria box makes it.
        QString deptName;
        GetDeptName(deptNo, deptName);
        const bool stockIn = index == 1;
        const QString slipNo = SlipNumber(period.year, period.month, deptNo,
                                          stockIn ? QStringLiteral("B") : QStringLiteral("A"));
        const QString slipDate =
            DBDateDisp(DateText(SlipDate(stockIn, period.year, period.month, source.stockEndDate)));
        const int qtyCol = quantityColumn(stockIn);
        int printed = 0;
        for (int index : source.rows.rows)
            if (source.rows.month->figure(index, qtyCol) != 0)
                ++printed;
        const int pageCount = (printed + LinesPerPage - 1) / LinesPerPage;
        if (pageCount == 0) {
            DispElaMsg(source.elaMsg, QStringLiteral("沒有任何品項的數單大於零"));
            return;
        }
        PrintReportMistra(source.rows, source.fontName, slipNo,
                          stockIn ? StockInSlipKind : IssueSlipKind, pageCount, deptNo, deptName,
                          slipDate, compName);
    });
}
