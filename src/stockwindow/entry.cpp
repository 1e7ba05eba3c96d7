// Stocktake entry in the grid: the count and average price columns are edited,
// checked, the row recomputed and the record written back at once, stamped with
// user and time.
#include "stockwindow/fmtovran.h"

#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/messages.h"
#include "dialogs/frmnumkey.h"
#include "dialogs/frmsure.h"
#include "forms/formhelpers.h"
#include "platform/grid/flexgrid.h"
#include "platform/widgets/elasticpanel.h"
#include "stock/rowupdate.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QTableView>
#include <cmath>

namespace {

void showLimit(const QString &message)
{
    frmSureWindow().SHOWMSG(message, QStringLiteral("訊息視窗"), QStringLiteral("N"), nullptr,
                            QStringLiteral("確定"), QStringLiteral("取消"), false);
}

} // namespace

void fmTOVRAN::fgList_BeforeEdit(int, int col, bool *cancel)
{
    try {
        if (col != ColSTKQty && col != ColAvgPrice) {
            *cancel = true;
            elaMsg->setCaption(LocalMsg(QStringLiteral("CanNotEditThisCol")));
        }
    } catch (const std::exception &e) {
        *cancel = true;
        ShowErr(QStringLiteral("fgList_BeforeEdit"), ToRunError(e));
    }
}

// The row as the grid shows it, in display units.
RowFigures fmTOVRAN::rowFigures(int row) const
{
    RowFigures f;
    f.factor = Val(fgList->rowData(row));
    if (f.factor == 0)
        f.factor = 1;
    f.lastQty = Val(fgList->textMatrix(row, ColLastQty));
    f.inQty = Val(fgList->textMatrix(row, ColInQty));
    f.outQty = Val(fgList->textMatrix(row, ColOutQty));
    f.lostQty = Val(fgList->textMatrix(row, ColLostQty));
    f.chkQty = Val(fgList->textMatrix(row, ColChkQty));
    f.adjustQty = Val(fgList->textMatrix(row, ColAdjustQty));
    f.useQty = Val(fgList->textMatrix(row, ColUseQty));
    f.stkQty = Val(fgList->textMatrix(row, ColSTKQty));
    f.avgPrice = Val(fgList->textMatrix(row, ColAvgPrice));
    f.bookKept = isBookKept(fgList->textMatrix(row, ColFlag));
    return f;
}

void fmTOVRAN::showRowFigures(int row, const RowFigures &f)
{
    fgList->setTextMatrix(row, ColChkQty, NumText(f.chkQty));
    fgList->setTextMatrix(row, ColAdjustQty, NumText(f.adjustQty));
    fgList->setTextMatrix(row, ColUseQty, NumText(f.useQty));
    fgList->setTextMatrix(row, ColSTKQty, NumText(f.stkQty));
    fgList->setTextMatrix(row, ColSTKAmt, NumText(f.stkAmt));
    fgList->setTextMatrix(row, ColAvgPrice, NumText(f.avgPrice));
}

// Writes an edit (its statements and the user/time stamp, in one transaction) and shows
// the stamp's user in the row, as the record now holds it.
void fmTOVRAN::writeRow(int row, const QStringList &statements)
{
    WriteRowUpdate(Conn().gCNT, statements);
    fgList->setTextMatrix(row, ColUpdUserID, User().gsUserID);
}

void fmTOVRAN::fgList_ValidateEdit(int row, int col, bool *cancel, QString *editText)
{
    const QString text = editText->trimmed().toUpper();
    const double x = Val(text);
    const QString rno = NumText(Val(fgList->textMatrix(row, ColRNo)));
    try {
        if (col == ColSTKQty) {
            RowFigures f = rowFigures(row);
            if (!IsNumeric(text)) {
                *cancel = true;
            } else if (x < 0) {
                showLimit(QStringLiteral("庫存量不得為負值"));
                *cancel = true;
            } else if (x < f.lastQty + f.inQty) {
                showLimit(QStringLiteral("庫存量不得小於期初量加進貨量之和"));
                *cancel = true;
            } else {
                const int precision = chkUseUUnit->isChecked() ? 10000 : 100;
                const CountUpdate update = ApplyCount(f, x, precision);
                if (!update.finite) {
                    *cancel = true;
                } else {
                    writeRow(row, CountStatements(update, rno));
                    showRowFigures(row, update.shown);
                    *editText = NumText(x);
                }
            }
        } else if (col == ColAvgPrice) {
            if (!IsNumeric(text)) {
                *cancel = true;
                DispElaMsg(elaMsg, QStringLiteral("只能輸入數字"));
            } else {
                const RowFigures f = rowFigures(row);
                const PriceUpdate update = ApplyPrice(f, x);
                if (!update.finite) {
                    *cancel = true;
                } else {
                    writeRow(row, PriceStatements(update, rno));
                    fgList->setTextMatrix(row, ColSTKAmt, NumText(update.stkAmt));
                    *editText = NumText(x);
                }
            }
        } else {
            writeRow(row, {StampStatement(rno)});
        }
    } catch (const std::exception &e) {
        // Nothing was written (the statements run in one transaction): the row
        // keeps what the database holds.
        *cancel = true;
        ShowErr(QStringLiteral("fgList_ValidateEdit"), ToRunError(e));
    }
    if (*cancel)
        DispElaMsg(elaMsg, LocalMsg(QStringLiteral("ErrorInputData")));
    QApplication::processEvents();
}

void fmTOVRAN::fgList_KeyDown(int key, Qt::KeyboardModifiers, bool *handled)
{
    QWidget *view = fgList->view();
    if (key == Qt::Key_F1) {
        QApplication::postEvent(view,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::AltModifier));
        *handled = true;
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        const int next = fgList->col() == ColSTKQty ? Qt::Key_Down : Qt::Key_Tab;
        QApplication::postEvent(view, new QKeyEvent(QEvent::KeyPress, next, Qt::NoModifier));
        *handled = true;
    }
}

void fmTOVRAN::fgList_KeyPress(const QString &text, bool *handled)
{
    if (text == QLatin1String("\r") || text == QLatin1String("\n"))
        *handled = true;
}

void fmTOVRAN::fgList_Click()
{
    if (m_params.POSMode != QLatin1String("Y"))
        return;
    const int row = fgList->row();
    if (row < 1 || row > fgList->rows() - 1 || fgList->col() != ColSTKQty)
        return;
    try {
        QString text;
        if (!frmNumKeyWindow().ShowInput(text))
            return;
        // Keypad text is checked like the grid editor's: two points or nothing is
        // no number.
        if (!IsNumeric(text)) {
            DispElaMsg(elaMsg, LocalMsg(QStringLiteral("ErrorInputData")));
            return;
        }
        const double x = Val(text);
        const RowFigures f = rowFigures(row);
        const QString rno = NumText(Val(fgList->textMatrix(row, ColRNo)));
        const CountUpdate update = ApplyCount(f, x, 100);
        if (!update.finite) {
            DispElaMsg(elaMsg, LocalMsg(QStringLiteral("ErrorInputData")));
            return;
        }
        writeRow(row, CountStatements(update, rno));
        showRowFigures(row, update.shown);
    } catch (const std::exception &e) {
        ShowErr(QStringLiteral("fmTOVRAN_fgList_Click"), ToRunError(e));
    }
}
