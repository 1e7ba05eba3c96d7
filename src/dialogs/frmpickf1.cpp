#include "dialogs/frmpickf1.h"

#include "common/errorreport.h"
#include "forms/formhelpers.h"
#include "forms/gridload.h"
#include "forms/runwindows.h"
#include "platform/grid/flexgrid.h"

#include <QPointer>

frmPickF1::frmPickF1(QWidget *parent)
    : PickerWindow(QStringLiteral("frmPickF1"), QStringLiteral("選取項目輔助視窗"), parent)
{
    fgCode->setFixedRows(0);
    fgCode->setRows(0);
    fgCode->setCols(1);
    resize(320, 360);
}

bool frmPickF1::PickItem(Ado::Recordset &rs, QString &item)
{
    return ReportErrors(QStringLiteral("DispCode"), [&] {
        m_picked = false;
        {
            const GridRedrawOff redrawOff(fgCode);
            fgCode->setRows(0);
            while (!rs.eof()) {
                fgCode->addRow({rs.text(0)});
                rs.moveNext();
            }
        }
        fgCode->autoSize(0);
        if (fgCode->rows() > 0)
            fgCode->setRow(0);
        FormRightBottom(this);
        showModal();
        if (!m_picked)
            return false;
        item = m_item;
        return true;
    });
}

void frmPickF1::pickRow()
{
    m_item = currentCell(0);
    m_picked = true;
    hide();
}

frmPickF1 &frmPickF1Window()
{
    static QPointer<frmPickF1> window;
    if (!window)
        window = OwnedForRun(new frmPickF1);
    return *window;
}
