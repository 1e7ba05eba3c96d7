#include "printing/countsheet.h"

#include "platform/print/printdocument.h"
#include "printing/previewwindow.h"
#include "stock/stockcolumns.h"
#include "stock/stockmonth.h"

#include <algorithm>

namespace {

using C = StockColumns;

// Portrait A4 between 720-twip margins; the count cell is the widest, to write in.
const QString Format = QStringLiteral("<1300|<2500|<1700|<700|<1900~|<2300;");
const QStringList Titles = {QStringLiteral("料號"),     QStringLiteral("物料名稱"),
                            QStringLiteral("規格"),     QStringLiteral("單位"),
                            QStringLiteral("盤點區位"), QStringLiteral("盤點數量")};
// The top margin leaves room for the page heading; the page number goes in the bottom one.
constexpr double TopMargin = 1500;

struct SheetLine
{
    int monthRow;
    QString location;
};

QList<SheetLine> sheetLines(const CountSheet &sheet)
{
    QList<SheetLine> lines;
    for (int row : sheet.rows) {
        const QStringList locations = sheet.locationsOf ? sheet.locationsOf(row) : QStringList();
        if (locations.isEmpty())
            lines.append({row, QString()});
        for (const QString &location : locations)
            lines.append({row, location});
    }
    const StockMonth &month = *sheet.month;
    const auto itemNo = [&](const SheetLine &l) { return month.text(l.monthRow, C::ColSTKNo); };
    // Stable: an item's locations keep their order, and equal item numbers the grid's.
    if (sheet.order == CountSheet::ByLocation) {
        std::stable_sort(lines.begin(), lines.end(), [&](const SheetLine &a, const SheetLine &b) {
            if (a.location.isEmpty() != b.location.isEmpty())
                return b.location.isEmpty();
            if (a.location != b.location)
                return a.location < b.location;
            return itemNo(a) < itemNo(b);
        });
    } else {
        std::stable_sort(lines.begin(), lines.end(), [&](const SheetLine &a, const SheetLine &b) {
            return itemNo(a) < itemNo(b);
        });
    }
    return lines;
}

} // namespace

void ComposeCountSheet(PreviewWindow &window, const CountSheet &sheet)
{
    const QStringList heading = StockHeadingLines(sheet.criteria);

    StartMonthList(window, heading, int(Titles.size()), TopMargin);
    PrintDocument &vsp = window.vsp();

    // Rows tall enough to write a figure in by hand.
    vsp.setFontSize(12);
    AddMonthListLine(window, Format, QStringList(), Titles);
    const StockMonth &month = *sheet.month;
    for (const SheetLine &line : sheetLines(sheet)) {
        const QStringList cells = {month.text(line.monthRow, C::ColSTKNo),
                                   month.text(line.monthRow, C::ColName),
                                   month.text(line.monthRow, C::ColDscp),
                                   month.text(line.monthRow, C::ColUnit),
                                   line.location,
                                   QString()};
        AddMonthListLine(window, Format, Titles, cells);
    }

    vsp.setFontSize(11);
    vsp.setTextAlign(6);
    vsp.setCurrentX(vsp.marginLeft());
    vsp.setCurrentY(vsp.currentY() + 700);
    vsp.paragraph(QStringLiteral("盤點人:________________        複核人:________________"));
    vsp.endDoc();
    DrawPageFrames(vsp, QStringLiteral("盤點表"), heading.join(QStringLiteral("    ")));
}

bool PrintCountSheet(const CountSheet &sheet)
{
    return ShowMonthPrintout(QStringLiteral("fmTOVRAN_cmdCountSheet_Click"),
                             sheet.month && !sheet.rows.isEmpty(),
                             [&](PreviewWindow &window) { ComposeCountSheet(window, sheet); });
}
