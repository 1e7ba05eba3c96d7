#include "printing/countdetail.h"

#include "common/numtext.h"
#include "platform/print/printdocument.h"
#include "printing/previewwindow.h"
#include "stock/countlines.h"
#include "stock/stockcolumns.h"
#include "stock/stockmonth.h"

namespace {

using C = StockColumns;

// Portrait A4 between 720-twip margins.
const QString Format = QStringLiteral("<1200|<2000|<600|<1500|>1100|<1000|<1100|<1900;");
const QStringList Titles = {QStringLiteral("料號"),   QStringLiteral("物料名稱"),
                            QStringLiteral("單位"),   QStringLiteral("盤點區位"),
                            QStringLiteral("數量"),   QStringLiteral("盤點人"),
                            QStringLiteral("工作站"), QStringLiteral("時間")};
constexpr double TopMargin = 1500;

QList<int> rowsWithLines(const CountDetail &detail)
{
    QList<int> rows;
    for (int row : detail.rows)
        if (detail.countOf && detail.countOf(row).hasLines())
            rows.append(row);
    return rows;
}

} // namespace

void ComposeCountDetail(PreviewWindow &window, const CountDetail &detail)
{
    const QStringList heading = StockHeadingLines(detail.criteria);
    const StockMonth &month = *detail.month;

    StartMonthList(window, heading, int(Titles.size()), TopMargin);
    PrintDocument &vsp = window.vsp();
    vsp.setFontSize(10);
    AddMonthListLine(window, Format, QStringList(), Titles);
    const auto add = [&](const QStringList &cells) {
        AddMonthListLine(window, Format, Titles, cells);
    };
    for (int row : rowsWithLines(detail)) {
        const RowCount &count = detail.countOf(row);
        const QString item = month.text(row, C::ColSTKNo);
        const QString name = month.text(row, C::ColName);
        const QString unit = month.text(row, C::ColUnit);
        for (const CountLine &line : count.current)
            add({item, name, unit, line.location,
                 NumText(StockMonth::shownQuantity(line.qty, month.factor(row), month.useUnit())),
                 line.userId, line.pcName, line.cntDate});
        add({item, count.recount ? QStringLiteral("需複盤") : QString(), QString(),
             QStringLiteral("合計"), month.text(row, C::ColSTKQty), QString(), QString(),
             QString()});
    }
    vsp.endDoc();
    DrawPageFrames(vsp, QStringLiteral("盤點明細表"), heading.join(QStringLiteral("    ")));
}

bool PrintCountDetail(const CountDetail &detail)
{
    return ShowMonthPrintout(QStringLiteral("fmTOVRAN_cmdCountDetail_Click"),
                             detail.month && !rowsWithLines(detail).isEmpty(),
                             [&](PreviewWindow &window) { ComposeCountDetail(window, detail); });
}
