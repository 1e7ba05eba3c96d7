// Reaching an item in the grid by number, adding its record to the month when the grid
// lacks it.
#include "stockwindow/fmtovran.h"

#include "common/dates.h"
#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "common/stockperiod.h"
#include "common/units.h"
#include "data/adodb.h"
#include "data/globalsettings.h"
#include "dialogs/frmselect.h"
#include "forms/formhelpers.h"
#include "platform/settingsstore.h"
#include "platform/widgets/elasticpanel.h"
#include "platform/widgets/messagebox.h"
#include "stock/stockcalc.h"
#include "stock/stockcounting.h"
#include "stock/stockload.h"
#include "stockwindow/countlinesbar.h"
#include "stockwindow/criteriapage.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"
#include "stockwindow/stockoptions.h"
#include "stockwindow/stockrowsproxy.h"

#include <QScopeGuard>
#include <cmath>

void fmTOVRAN::cmdSeekSTKNo_Click(const QString &typed)
{
    // The window is disabled before the lookup can hand control to the event loop (a
    // message, the pick list, an error). A scan that finds or adds its item ends within
    // this one event: disabling the window and enabling it again there would change
    // nothing the user can see, yet repaint every widget of the window.
    const auto disableWindow = [this] { setEnabled(false); };
    const auto finish = qScopeGuard([this] {
        setEnabled(true);
        // A disabled window takes no focus: the grid gets it now, so that the count
        // typed right after a scan lands in the count cell.
        if (m_focusGridWhenEnabled)
            fgList->setFocus();
        m_focusGridWhenEnabled = false;
    });
    try {
        QString code;
        double pieces = 1;
        QString why;
        if (!splitScan(typed, &pieces, &code, &why)) {
            disableWindow();
            DispElaMsg(elaMsg, why);
            return;
        }
        if (code.isEmpty())
            return;
        // With scan counting on, the item's row counts the pieces once it is found or added.
        const auto counted = [&](int index) {
            if (index >= 0 && elaCount->scanCounting())
                scanCount(index, pieces);
        };
        // Items go into the month the grid shows, never into one merely typed.
        if (!criteriaNameLoadedMonth()) {
            disableWindow();
            DispElaMsg(elaMsg, month().isLoaded() ? QStringLiteral("查詢條件已變更,請先查詢")
                                                  : QStringLiteral("請先查詢"));
            return;
        }
        {
            Ado::Recordset rs = Conn().gCNT->execute(
                QStringLiteral("Select STKNo , STKName From  STK   where STKNO = ") +
                QuotField(code));
            if (rs.eof()) {
                disableWindow();
                MsgBox::show(QStringLiteral("物料檔,沒有該物料編號,請檢查"),
                             MsgBox::Icon::Critical);
                return;
            }
        }
        const StockMonth::Period period = month().period();
        if (month().size() > 0) {
            // The grid in item-number order (a grid already in it is not sorted again),
            // the item's row current in the count column.
            fgList->rows()->sortByItemNumber();
            const int found = fgList->rows()->findItem(code);
            if (found >= 0) {
                elaMsg->setCaption(QString());
                moveToCountCell(found);
                counted(found);
                return;
            }
        }
        const QString prefix =
            QStringLiteral(" Where ") + PrefixCondition(QStringLiteral("stkno"), code);
        double count = 0;
        {
            Ado::Recordset rs = Conn().gCNT->execute(
                QStringLiteral("Select count(*) as RecCount from stk") + prefix);
            if (!rs.eof())
                count = rs.number(QStringLiteral("RecCount"));
        }
        if (count == 0) {
            disableWindow();
            DispElaMsg(elaMsg, QStringLiteral("物料主檔中無此物料編號!"));
            return;
        }
        if (count > 1) {
            disableWindow();
            Ado::Recordset rs =
                Conn().gCNT->execute(QStringLiteral("select stkno , stkname , LType "
                                                    ",STKDscp , Unit ,STKFlag from stk ") +
                                     prefix + QStringLiteral(" order by stkno "));
            if (rs.eof())
                return;
            frmSelect &pick = frmSelectWindow();
            if (!pick.PickRST(rs, QStringLiteral("編號|名稱|大類別|規格|單位|入庫"),
                              QStringLiteral("請選擇要盤點的物料"), false))
                return;
            code = pick.PickCode;
        }
        counted(AddToStock(period.year, period.month, period.deptNo, code));
    } catch (const std::exception &e) {
        disableWindow(); // before the box runs the event loop
        ShowErr(QStringLiteral("fmTOVRAN_cmdSeekSTKNo_Click"), ToRunError(e));
    }
}

int fmTOVRAN::AddToStock(int year, int month, const QString &deptNo, const QString &stkNo)
{
    try {
        StockCalcInput input;
        input.year = year;
        input.month = month;
        input.deptNo = deptNo;
        input.stkNo = stkNo;
        input.stockEndDate = m_params.StockEndDate;
        input.useRcvWork = m_params.UseRcvWork;
        input.useSOut = m_params.UseSOut;
        input.avgPriceMethod = Suite().gvAvgPriceMethod;
        // Both options are read anew each time, as stored (the window's box is
        // saved at exit).
        input.autoCalc = StockOption(QStringLiteral("chkAutoCalQty"));
        input.calUseQty = Val(GetSetting(QStringLiteral("NORV"), ProgramName(),
                                         QStringLiteral("chkCalUseQty"), QStringLiteral("0"))) != 0;
        input.warehouseNo = m_criteria->warehouseNo();
        input.userID = User().gsUserID;

        const int index = m_counting->addItem(input);
        if (index < 0) {
            setEnabled(false); // the scan enables the window again when it ends
            DispElaMsg(elaMsg, QStringLiteral("無法寫入庫存檔"));
            return -1;
        }
        elaMsg->setCaption(QString());
        moveToCountCell(index);
        return index;
    } catch (const std::exception &e) {
        setEnabled(false);
        ShowErr(QStringLiteral("fmTOVRAN_AddToStock"), ToRunError(e));
    }
    return -1;
}
