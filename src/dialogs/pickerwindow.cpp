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
    try {
        if (clickPicks() && hasDataRow())
            pickRow();
    } catch (const std::exception &e) {
        ShowErr(clickLabel(), ToRunError(e));
    }
}

void PickerWindow::fgCode_KeyDown(int key, Qt::KeyboardModifiers, bool *handled)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
        return;
    *handled = true;
    try {
        if (hasDataRow())
            pickRow();
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("fgCode_KeyDown"), ToRunError(e));
    }
}

bool FGLoadNoRedraw(FlexGrid *grid, const QString &pvSQL, int *rowCount)
{
    bool result = false;
    try {
        grid->setRows(1);
        if (!Conn().gCNT)
            throw RunError(RunError::Database, QStringLiteral("資料庫尚未連線"));
        Ado::Recordset rs = Conn().gCNT->execute(pvSQL);
        if (!rs.eof()) {
            grid->setRedraw(false);
            const int records = AddRecordRows(grid, rs);
            grid->setRedraw(true);
            if (rowCount)
                *rowCount = records + 1;
            result = true;
        }
    } catch (const std::exception &e) {
        grid->setRedraw(true);
        ShowErr(QStringLiteral("FGLoad_NoRedraw\r\npvSQL:") + pvSQL, ToRunError(e));
    }
    return result;
}
