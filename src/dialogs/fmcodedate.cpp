#include "dialogs/fmcodedate.h"

#include "common/dates.h"
#include "common/errorreport.h"
#include "common/state.h"
#include "data/adodb.h"
#include "forms/formhelpers.h"
#include "forms/gridload.h"
#include "forms/runwindows.h"
#include "platform/grid/flexgrid.h"

#include <QLineEdit>
#include <QPointer>

fmCodeDate::fmCodeDate(QWidget *parent)
    : PickerWindow(QStringLiteral("fmCodeDate"), QStringLiteral("日期選擇輔助視窗"), parent)
{
    fgCode->setFixedRows(1);
    fgCode->setCols(2);
    fgCode->setTextMatrix(0, 0, QStringLiteral("起始日期"));
    fgCode->setTextMatrix(0, 1, QStringLiteral("結束日期"));
    fgCode->setColAlignment(0, FlexGrid::AlignCenter);
    fgCode->setColAlignment(1, FlexGrid::AlignCenter);
    FormCenter(this);
}

bool fmCodeDate::ShowPick(QLineEdit *txtFrom, QLineEdit *txtTo)
{
    return ReportErrors(QStringLiteral("ShowPick"), [&] {
        fgCode->setRows(1);
        gvSQL = QStringLiteral(" Select distinct STKDate From Stock ") +
                QStringLiteral(" Order by STKDate Desc ");
        if (!Conn().gCNT)
            throw RunError(RunError::Database, QStringLiteral("資料庫尚未連線"));
        Ado::Recordset rs = Conn().gCNT->execute(gvSQL);
        QList<QDate> ends;
        while (!rs.eof()) {
            if (const auto date = ParseDate(rs.value(0)))
                ends.append(*date);
            rs.moveNext();
        }
        rs.close();
        if (ends.isEmpty())
            return false;
        // A period starts the day after the previous (older) period ended; the oldest
        // period's start is unknown.
        {
            const GridRedrawOff redrawOff(fgCode);
            for (int i = 0; i < ends.size(); ++i) {
                const QString from =
                    i + 1 < ends.size() ? DBDateDisp(DateText(ends[i + 1].addDays(1))) : QString();
                fgCode->addRow({from, DBDateDisp(DateText(ends[i]))});
            }
        }
        fgCode->autoSize(0, 1);
        fgCode->setRow(1);
        fgCode->setTopRow(1);
        m_fromTarget = txtFrom;
        m_toTarget = txtTo;
        FormCenter(this);
        showModal();
        return true;
    });
}

void fmCodeDate::pickRow()
{
    if (m_fromTarget)
        m_fromTarget->setText(currentCell(0));
    if (m_toTarget)
        m_toTarget->setText(currentCell(1));
    hide();
}

fmCodeDate &fmCodeDateWindow()
{
    static QPointer<fmCodeDate> window;
    if (!window)
        window = OwnedForRun(new fmCodeDate);
    return *window;
}
