#include "dialogs/pickerwindow.h"

#include "common/errorreport.h"
#include "data/adodb.h"
#include "forms/gridload.h"
#include "platform/grid/flexgrid.h"

#include <QVBoxLayout>

PickerWindow::PickerWindow(const QString &objectName, const QString &caption, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setModal(true);
    fgCode = new FlexGrid(this);
    fgCode->setObjectName(QStringLiteral("fgCode"));
    fgCode->setEditable(false);
    fgCode->setRowSelection(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(fgCode, 1);
    resize(480, 360);
    connect(fgCode, &FlexGrid::clicked, this, &PickerWindow::fgCode_Click);
    connect(fgCode, &FlexGrid::keyDown, this, &PickerWindow::fgCode_KeyDown);
}

void PickerWindow::showModal()
{
    fgCode->setFocus();
    exec();
}

bool PickerWindow::hasDataRow() const
{
    const int row = fgCode->row();
    return row >= fgCode->fixedRows() && row < fgCode->rows();
}

QString PickerWindow::currentCell(int col) const
{
    return fgCode->textMatrix(fgCode->row(), col);
}

void PickerWindow::pickRow()
{
    hide();
}

void PickerWindow::fgCode_Click()
{
    ReportErrors(clickLabel(), [&] {
        if (clickPicks() && hasDataRow())
            pickRow();
    });
}

void PickerWindow::fgCode_KeyDown(int key, Qt::KeyboardModifiers, bool *handled)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
        return;
    *handled = true;
    ReportErrors(QStringLiteral("fgCode_KeyDown"), [&] {
        if (hasDataRow())
            pickRow();
    });
}

bool FGLoadNoRedraw(FlexGrid *grid, const QString &pvSQL, int *rowCount)
{
    return ReportErrors(QStringLiteral("FGLoad_NoRedraw\r\npvSQL:") + pvSQL, [&] {
        grid->setRows(1);
        if (!Conn().gCNT)
            throw RunError(RunError::Database, QStringLiteral("資料庫尚未連線"));
        Ado::Recordset rs = Conn().gCNT->execute(pvSQL);
        if (rs.eof())
            return false;
        const GridRedrawOff redrawOff(grid);
        const int records = AddRecordRows(grid, rs);
        if (rowCount)
            *rowCount = records + 1;
        return true;
    });
}
