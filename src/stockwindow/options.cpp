// The display options: columns and rows hidden, the use unit, the row order.
#include "stockwindow/fmtovran.h"

#include "common/errorreport.h"
#include "common/numtext.h"
#include "platform/grid/flexgrid.h"
#include "platform/settingsstore.h"

#include <QCheckBox>

void fmTOVRAN::chkAutoCalQty_Click()
{
    fgList->setColHidden(ColAdjustQty, chkAutoCalQty->isChecked());
}

void fmTOVRAN::chkHideAvgPrice_Click()
{
    fgList->setColHidden(ColAvgPrice, chkHideAvgPrice->isChecked());
}

void fmTOVRAN::chkHideDscp_Click()
{
    fgList->setColHidden(ColDscp, chkHideDscp->isChecked());
}

void fmTOVRAN::chkHideSTKFlag_Click()
{
    const bool hide = chkHideSTKFlag->isChecked();
    fgList->setRedraw(false);
    for (int r = fgList->fixedRows(); r < fgList->rows(); ++r) {
        const int index = monthIndex(r);
        if (index >= 0 && m_month.text(index, ColFlag).toUpper() != QLatin1String("Y"))
            fgList->setRowHidden(r, hide);
    }
    fgList->setRedraw(true);
}

void fmTOVRAN::chkNoDisplayQtyIsZero_Click()
{
    try {
        const bool hide = chkNoDisplayQtyIsZero->isChecked();
        fgList->setRedraw(false);
        for (int r = 1; r < fgList->rows(); ++r) {
            if (hide)
                applyZeroRule(r);
            else
                fgList->setRowHidden(r, false); // shows every row, also those of the flag box
        }
        fgList->setRedraw(true);
    } catch (const std::exception &e) {
        fgList->setRedraw(true);
        ShowErr(QStringLiteral("fmTOVRAN_chkNoDisplayQtyIsZero_Click"), ToRunError(e));
    }
}

void fmTOVRAN::chkUseUUnit_Click()
{
    try {
        // Takes effect at the next query; the loaded rows are not converted again.
        SaveSetting(QStringLiteral("NORV"), QStringLiteral("STK"), QStringLiteral("UseUUnit"),
                    chkUseUUnit->isChecked() ? QStringLiteral("Y") : QStringLiteral("N"));
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("fmTOVRAN_chkUseUUnit_Click"), ToRunError(e));
    }
}
