#include "dialogs/frmpickf2.h"

#include "common/errorreport.h"
#include "forms/formhelpers.h"
#include "forms/gridload.h"
#include "forms/runwindows.h"
#include "platform/grid/flexgrid.h"

#include <QLineEdit>
#include <QPointer>

frmPickF2::frmPickF2(QWidget *parent)
    : PickerWindow(QStringLiteral("frmPickF2"), QStringLiteral("代碼輸入輔助視窗"), parent)
{
    fgCode->setFixedRows(1);
    fgCode->setCols(2);
    fgCode->setTextMatrix(0, 0, QStringLiteral("代碼"));
    fgCode->setTextMatrix(0, 1, QStringLiteral("說明"));
}

bool frmPickF2::showList(const QString &head1, const QString &head2, bool rightBottom)
{
    m_cancelled = true;
    fgCode->autoSize(0, 1);
    if (!head1.isEmpty())
        fgCode->setTextMatrix(0, 0, head1);
    if (!head2.isEmpty())
        fgCode->setTextMatrix(0, 1, head2);
    if (rightBottom)
        FormRightBottom(this);
    else
        FormCenter(this);
    if (fgCode->rows() > fgCode->fixedRows() && fgCode->row() < fgCode->fixedRows())
        fgCode->setRow(fgCode->fixedRows());
    showModal();
    return !m_cancelled;
}

bool frmPickF2::PickList(const QString &head1, const QString &head2)
{
    return ReportErrors(QStringLiteral("frmPickF2_PickList"),
                        [&] { return showList(head1, head2, true); });
}

bool frmPickF2::PickRST(Ado::Recordset &rs, const QString &head1, const QString &head2)
{
    return ReportErrors(QStringLiteral("fmCode_PickCode"), [&] {
        FGLoadRST(fgCode, rs);
        return showList(head1, head2, true);
    });
}

bool frmPickF2::ShowPick(const QString &pvSQL, QLineEdit *txtCode, QLineEdit *txtName,
                         const QString &head1, const QString &head2)
{
    return ReportErrors(QStringLiteral("ShowPick"), [&] {
        fgCode->setRows(1);
        FGLoadNoRedraw(fgCode, pvSQL);
        if (fgCode->rows() > 1)
            fgCode->setRow(1);
        if (!showList(head1, head2, false))
            return false;
        if (txtCode)
            txtCode->setText(PickCode);
        if (txtName)
            txtName->setText(PickName);
        return true;
    });
}

void frmPickF2::pickRow()
{
    PickCode = currentCell(0);
    PickName = currentCell(1);
    m_cancelled = false;
    hide();
}

frmPickF2 &frmPickF2Window()
{
    static QPointer<frmPickF2> window;
    if (!window)
        window = OwnedForRun(new frmPickF2);
    return *window;
}
