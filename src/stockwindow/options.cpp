// The display options: columns and rows hidden, the use unit, the row order.
#include "stockwindow/fmtovran.h"

#include "common/errorreport.h"
#include "common/numtext.h"
#include "platform/settingsstore.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"

#include <QCheckBox>

void fmTOVRAN::chkAutoCalQty_Click()
{
    setColumnShown(ColAdjustQty, !chkAutoCalQty->isChecked());
}

void fmTOVRAN::chkHideAvgPrice_Click()
{
    setColumnShown(ColAvgPrice, !chkHideAvgPrice->isChecked());
}

void fmTOVRAN::chkHideDscp_Click()
{
    setColumnShown(ColDscp, !chkHideDscp->isChecked());
}

void fmTOVRAN::setColumnShown(int col, bool shown)
{
    fgList->setColumnHidden(col, !shown || !m_model->countingView().shows(col));
}

void fmTOVRAN::chkHideSTKFlag_Click()
{
    m_model->setRowsHidden(
        [this](int index) { return month().text(index, ColFlag).toUpper() != QLatin1String("Y"); },
        chkHideSTKFlag->isChecked());
}

void fmTOVRAN::chkNoDisplayQtyIsZero_Click()
{
    ReportErrors(QStringLiteral("fmTOVRAN_chkNoDisplayQtyIsZero_Click"), [&] {
        if (chkNoDisplayQtyIsZero->isChecked())
            m_model->setRowsHidden([this](int index) { return isZeroRow(index); }, true);
        else // shows every row, also those of the flag box
            m_model->setRowsHidden([](int) { return true; }, false);
    });
}

void fmTOVRAN::chkUseUUnit_Click()
{
    ReportErrors(QStringLiteral("fmTOVRAN_chkUseUUnit_Click"), [&] {
        // Takes effect at the next query; the loaded rows are not converted again.
        SaveSetting(QStringLiteral("NORV"), QStringLiteral("STK"), QStringLiteral("UseUUnit"),
                    chkUseUUnit->isChecked() ? QStringLiteral("Y") : QStringLiteral("N"));
    });
}
