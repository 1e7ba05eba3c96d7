// Loading the month's stock records into the grid: the query command, the edit
// deadline, the completion of every row from the item master.
#include "stockwindow/fmtovran.h"

#include "common/clock.h"
#include "common/dates.h"
#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/messages.h"
#include "dialogs/frmsure.h"
#include "forms/formhelpers.h"
#include "forms/gridload.h"
#include "platform/grid/flexgrid.h"
#include "platform/widgets/elasticpanel.h"
#include "platform/widgets/screenunits.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHash>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTabWidget>
#include <cmath>

namespace {

// Quantity columns that follow the display unit.
constexpr int QuantityColumns[] = {
    fmTOVRAN::ColLastQty, fmTOVRAN::ColInQty,     fmTOVRAN::ColOutQty, fmTOVRAN::ColLostQty,
    fmTOVRAN::ColChkQty,  fmTOVRAN::ColAdjustQty, fmTOVRAN::ColUseQty, fmTOVRAN::ColSTKQty};

// How often a long load lets the window repaint its message line.
constexpr int RepaintIntervalMs = 40;

} // namespace

void fmTOVRAN::cmdQry_Click()
{
    if (!validateFocusedBox())
        return;
    setEnabled(false);
    const auto enableAgain = qScopeGuard([this] { setEnabled(true); });
    try {
        QString deadlineText;
        getParamValue(QStringLiteral("TOVRAN_DeadLine"), deadlineText);
        const int deadlineDays = ValInt(deadlineText);
        DispElaMsg(elaMsg, QStringLiteral("資料搜尋中..."));
        if (!FormCheck())
            return;
        if (deadlineDays > 0) {
            const QDate end = PeriodEndDate(criteriaYear(), criteriaMonth(), m_params.StockEndDate);
            const QDate limit = end.addDays(deadlineDays);
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
        if (GetData()) {
            formatAfterQuery();
            DispElaMsg(elaMsg, QStringLiteral("查詢完成"));
            tabPage->setCurrentIndex(1);
        } else {
            DispElaMsg(elaMsg, LocalMsg(QStringLiteral("NODATA")));
        }
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("fmTOVRAN_cmdQry_Click"), ToRunError(e));
    }
}

void fmTOVRAN::formatAfterQuery()
{
    const int last = fgList->rows() - 1;
    fgList->setRedraw(false);
    // Columns 8 on were sized to their contents by GetData just before, and no text has
    // changed since: sizing them again would give the same widths.
    const int widths[] = {800, 2000, 1200, 600, 600};
    for (int c = ColSTKNo; c <= ColFlag; ++c)
        fgList->setColWidth(c, widths[c - ColSTKNo]);
    fgList->setCellBackColor(1, ColSTKQty, last, ColSTKQty, FromWinColor(65535));
    fgList->setCellBackColor(1, ColAvgPrice, last, ColAvgPrice, FromWinColor(8425215));
    fgList->setCellBold(1, ColSTKQty, last, ColSTKQty, true);
    fgList->setCellBold(1, ColAvgPrice, last, ColAvgPrice, true);
    fgList->setRedraw(true);
    fgList->setCol(ColSTKQty);
}

bool fmTOVRAN::GetData()
{
    try {
        const QDate end = PeriodEndDate(criteriaYear(), criteriaMonth(), m_params.StockEndDate);
        QString sql = stockSelect() + QStringLiteral(" Where DeptNo = ") +
                      QuotStr(txtDeptNoB->text()) + QStringLiteral(" And STKDate = ") +
                      QuotDate(end);
        if (!txtSTKNoB->text().trimmed().isEmpty())
            sql += QStringLiteral(" And STKNo >= ") + QuotStr(txtSTKNoB->text());
        if (!txtSTKNoE->text().trimmed().isEmpty())
            sql += QStringLiteral(" And STKNo <= ") + QuotStr(txtSTKNoE->text());
        if (!txtLType->text().isEmpty())
            sql += QStringLiteral(" and stkno in ( ") +
                   QStringLiteral(" select distinct stkno from stk ") +
                   QStringLiteral(" where ltype = ") + QuotField(txtLType->text()) +
                   // The category pick fills in the description: it names its code.
                   QStringLiteral(" or ltype in ( select code from xxcode where codetype = "
                                  "'LTYPE' and dscp = ") +
                   QuotField(txtLType->text()) + QStringLiteral(" ) )");
        if (chkSortBySTKFlag->isChecked()) {
            // The stock flag lives in the item master: items with the greater flag
            // first.
            sql += QStringLiteral(" Order by coalesce(( Select max(STK.STKFlag) From STK "
                                  "Where STK.STKNo = STOCK.STKNo ), '') desc , STKNo ");
        } else {
            sql += QStringLiteral(" Order by STKNo ");
        }

        FGLoad(fgList, sql);
        if (fgList->rows() <= fgList->fixedRows())
            return false;
        completeRows();
        return true;
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("GetData"), ToRunError(e));
        return false;
    }
}

void fmTOVRAN::completeRows()
{
    const int rows = fgList->rows();
    fgList->setRedraw(false);
    const auto redrawAgain = qScopeGuard([this] { fgList->setRedraw(true); });

    // The first row of each item number, found once instead of searching per
    // item.
    QHash<QString, int> firstRow;
    firstRow.reserve(rows);
    for (int r = 1; r < rows; ++r)
        fgList->setRowData(r, 1);
    for (int r = rows - 1; r >= 1; --r)
        firstRow.insert(fgList->textMatrix(r, ColSTKNo), r);

    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    Ado::Recordset rs = Conn().gCNT->execute(itemSelect());
    while (!rs.eof()) {
        const int r = firstRow.value(rs.text(0), -1);
        if (r >= 1) {
            completeRow(r, rs);
            applyZeroRule(r);
            if (sinceRepaint.elapsed() >= RepaintIntervalMs) {
                elaMsg->setCaption(QStringLiteral("資料整理中：") +
                                   fgList->textMatrix(r, ColSTKNo));
                QApplication::processEvents();
                sinceRepaint.restart();
            }
        }
        rs.moveNext();
    }
    // Every column to its contents, but for the item columns 3 to 7, which the query
    // command gives fixed widths right after: measuring 50,000 names would be thrown away.
    fgList->autoSize(ColRNo, ColStkDate);
    fgList->autoSize(ColLastQty, fgList->cols() - 1);
}

QString fmTOVRAN::stockSelect()
{
    return QStringLiteral("Select RNo , DeptNo , StkDate , STKNo , '' , '' ,'', "
                          "'' , LastQty , ") +
           QStringLiteral(" LastAmt , InQty , InAmt , OutQty , OutAmt ,lostqty , "
                          "ChkQty , ") +
           QStringLiteral(" AdjustQty , UseQty , STKQty , STKAmt , AvgPrice , ") +
           QStringLiteral(" UserID , UpdUserID ,'' ") + QStringLiteral(" From STOCK ");
}

QString fmTOVRAN::itemSelect()
{
    return QStringLiteral("Select StkNo, StkName , STKDscp , Unit ,STKFlag , "
                          "uunit , uqty , LType From STK");
}

// Completes a loaded row from its item record (fields in the order of
// itemSelect()): names, unit, flag and category, quantities and price in the
// display unit.
void fmTOVRAN::completeRow(int r, const Ado::Recordset &item)
{
    double factor = 1;
    QString unit = item.text(3);
    const QString useUnitName = item.text(5);
    const bool useUnit = chkUseUUnit->isChecked();
    if (useUnit && !useUnitName.isEmpty()) {
        factor = item.number(6);
        if (factor == 0) {
            WriteLog(QStringLiteral("未設定換算數量:") + item.text(1) + QLatin1Char('(') +
                     item.text(0) + QLatin1Char(')'));
            factor = 1;
        }
        unit = useUnitName;
    }
    // Without the use unit the factor is 1 and the loaded texts are already the plain
    // number texts a rewrite would give.
    if (useUnit) {
        for (int c : QuantityColumns) {
            const double q = Val(fgList->textMatrix(r, c));
            fgList->setTextMatrix(r, c, NumText(std::floor(q * factor * 10 + 0.5) / 10));
        }
    }
    const double price = Val(fgList->textMatrix(r, ColAvgPrice));
    fgList->setTextMatrix(r, ColAvgPrice, NumText(std::floor(price * 100 / factor + 0.5) / 100));
    fgList->setTextMatrix(r, ColLType, item.text(7));
    fgList->setTextMatrix(r, ColName, item.text(1));
    fgList->setTextMatrix(r, ColDscp, item.text(2));
    fgList->setTextMatrix(r, ColUnit, unit);
    fgList->setTextMatrix(r, ColFlag, item.text(4));
    fgList->setRowData(r, factor);
}

void fmTOVRAN::styleEntryCells(int row)
{
    fgList->setCellBackColor(row, ColSTKQty, row, ColSTKQty, FromWinColor(65535));
    fgList->setCellBackColor(row, ColAvgPrice, row, ColAvgPrice, FromWinColor(8425215));
    fgList->setCellBold(row, ColSTKQty, row, ColSTKQty, true);
    fgList->setCellBold(row, ColAvgPrice, row, ColAvgPrice, true);
}

void fmTOVRAN::applyZeroRule(int row)
{
    if (chkNoDisplayQtyIsZero->isChecked() && Val(fgList->textMatrix(row, ColLastQty)) == 0 &&
        Val(fgList->textMatrix(row, ColInQty)) == 0)
        fgList->setRowHidden(row, true);
}
