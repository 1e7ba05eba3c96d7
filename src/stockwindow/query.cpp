// Loading the month's stock records into the grid: the query command, the edit
// deadline, the completion of every row from the item master.
#include "stockwindow/fmtovran.h"

#include "common/clock.h"
#include "common/dates.h"
#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "common/stockperiod.h"
#include "data/adodb.h"
#include "data/messages.h"
#include "dialogs/frmsure.h"
#include "forms/formhelpers.h"
#include "forms/gridload.h"
#include "platform/widgets/elasticpanel.h"
#include "platform/widgets/screenunits.h"
#include "stock/stockcounting.h"
#include "stock/stockload.h"
#include "stockwindow/criteriapage.h"
#include "stockwindow/stockdatapage.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"
#include "stockwindow/stockrowsproxy.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QScopeGuard>
#include <QTabWidget>
#include <algorithm>
#include <cmath>

void fmTOVRAN::cmdQry_Click()
{
    if (!m_criteria->validateFocusedBox())
        return;
    bool loaded = false;
    setEnabled(false);
    const auto enableAgain = qScopeGuard([this, &loaded] {
        setEnabled(true);
        // Typing goes to the count of the first row: the clerk counts right away.
        if (loaded) {
            fgList->setCurrentIndex(fgList->rows()->index(0, ColSTKQty));
            fgList->setFocus();
        }
    });
    ReportErrors(QStringLiteral("fmTOVRAN_cmdQry_Click"), [&] {
        DispElaMsg(elaMsg, QStringLiteral("資料搜尋中..."));
        if (!m_criteria->FormCheck())
            return;
        const StockMonth::Period period{
            m_criteria->year(), m_criteria->month(), m_criteria->deptNo(),
            PeriodEndDate(m_criteria->year(), m_criteria->month(), m_params.StockEndDate)};
        if (const QDate limit = deadline(period.end); limit.isValid()) {
            if (limit < Clock::today()) {
                gvMsg =
                    QStringLiteral("已超過期限") + DateText(limit) + QStringLiteral(",無法作業!");
                frmSureWindow().SHOWMSG(gvMsg, QStringLiteral("訊息視窗"), QStringLiteral("N"),
                                        nullptr, QStringLiteral("確定"), QStringLiteral("取消"),
                                        false);
                elaMsg->setCaption(QString());
                return;
            }
        }
        // From here on this is the month every lookup, insert and edit works on, found
        // rows or not: a month without records is started by scanning its first items.
        m_counting->start(period, m_criteria->useUseUnit());
        if (GetData()) {
            formatAfterQuery();
            // The count of rows read goes beside the message, flashed with it.
            elaMsg->setCaption(QStringLiteral("查詢完成"));
            elaMsg->setNote(QStringLiteral("共 ") + QString::number(month().size()) +
                            QStringLiteral(" 筆"));
            DispElaMsg(elaMsg, QStringLiteral("查詢完成"));
            tabPage->setCurrentIndex(1);
            loaded = true;
        } else {
            DispElaMsg(elaMsg, LocalMsg(QStringLiteral("NODATA")));
        }
    });
}

bool fmTOVRAN::criteriaNameLoadedMonth() const
{
    const StockMonth::Period &p = month().period();
    return month().isLoaded() && p.year == m_criteria->year() && p.month == m_criteria->month() &&
           p.deptNo == m_criteria->deptNo();
}

void fmTOVRAN::formatAfterQuery()
{
    // Columns 8 on were sized to their contents by GetData just before, and no text has
    // changed since: sizing them again would give the same widths. The count and price
    // cells are coloured and bold by the model.
    const int widths[] = {800, 2000, 1200, 600, 600};
    for (int c = ColSTKNo; c <= ColFlag; ++c)
        fgList->setColumnWidthTwips(c, widths[c - ColSTKNo]);
    fgList->setCurrentIndex(fgList->rows()->index(0, ColSTKQty));
}

QString fmTOVRAN::stockConditions() const
{
    const StockMonth::Period &p = month().period();
    QString sql = QStringLiteral(" Where DeptNo = ") + QuotStr(p.deptNo) +
                  QStringLiteral(" And STKDate = ") + QuotDate(p.end);
    const QString from = m_criteria->itemFrom();
    const QString to = m_criteria->itemTo();
    const QString category = m_criteria->category();
    if (!from.trimmed().isEmpty())
        sql += QStringLiteral(" And STKNo >= ") + QuotStr(from);
    if (!to.trimmed().isEmpty())
        sql += QStringLiteral(" And STKNo <= ") + QuotStr(to);
    if (!category.isEmpty())
        sql += QStringLiteral(" and stkno in ( ") +
               QStringLiteral(" select distinct stkno from stk ") +
               QStringLiteral(" where ltype = ") + QuotField(category) +
               // The category pick fills in the description: it names its code.
               QStringLiteral(" or ltype in ( select code from xxcode where codetype = "
                              "'LTYPE' and dscp = ") +
               QuotField(category) + QStringLiteral(" ) )");
    return sql;
}

bool fmTOVRAN::GetData()
{
    return ReportErrors(QStringLiteral("GetData"), [&]() -> bool {
        const QString order =
            m_criteria->sortByFlag()
                // The stock flag lives in the item master: items with the greater flag
                // first.
                ? QStringLiteral(" Order by coalesce(( Select max(STK.STKFlag) From STK "
                                 "Where STK.STKNo = STOCK.STKNo ), '') desc , STKNo ")
                : ItemOrder();
        // A long load shows rows read of rows expected in the message line's flood and
        // lets the disabled window repaint now and then: often enough to show that it goes
        // on, seldom enough that repainting costs little.
        QElapsedTimer sinceStart;
        sinceStart.start();
        QElapsedTimer sinceRepaint;
        const auto showProgress = [&](int rowsRead, int expected) {
            const int of = std::max(expected, rowsRead);
            elaMsg->setCaption(QStringLiteral("資料整理中：") + QString::number(rowsRead) +
                               QStringLiteral(" / ") + QString::number(of));
            elaMsg->setFlood(rowsRead, of);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceRepaint.start();
        };
        m_counting->load(stockConditions(), order, [&](int rowsRead, int expected) {
            if (sinceRepaint.isValid() ? sinceRepaint.elapsed() >= m_loadProgress.repaintEveryMs
                                       : sinceStart.elapsed() >= m_loadProgress.showAfterMs)
                showProgress(rowsRead, expected);
        });
        // Every record is read: a progress shown is full while the grid is filled.
        if (sinceRepaint.isValid() && elaMsg->floodValue() != month().size())
            showProgress(month().size(), month().size());
        if (month().size() == 0)
            return false;

        m_data->hideZeroRows();
        // Rows read in item order are sorted so now, at the cost of a comparison a row: the
        // item lookup's first scan then finds the order made.
        if (order == ItemOrder())
            fgList->rows()->sortByItemNumber();
        // Every column to its contents, but for the item columns 3 to 7, which the query
        // command gives fixed widths right after.
        fgList->sizeColumnsToContents(ColRNo, ColStkDate);
        fgList->sizeColumnsToContents(ColLastQty, ColumnCount - 1);
        return true;
    });
}

QDate fmTOVRAN::deadline(const QDate &periodEnd) const
{
    QString deadlineText;
    getParamValue(QStringLiteral("TOVRAN_DeadLine"), deadlineText);
    const int deadlineDays = ValInt(deadlineText);
    return deadlineDays > 0 ? periodEnd.addDays(deadlineDays) : QDate();
}
