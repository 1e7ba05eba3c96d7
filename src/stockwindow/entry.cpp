// Stocktake entry in the grid: the count and average price columns are edited,
// checked, the row recomputed and the record written back at once, stamped with
// user and time.
#include "stockwindow/fmtovran.h"

#include "common/dates.h"
#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/messages.h"
#include "dialogs/frmnumkey.h"
#include "dialogs/frmsure.h"
#include "forms/formhelpers.h"
#include "platform/widgets/elasticpanel.h"
#include "stock/countingview.h"
#include "stock/rowupdate.h"
#include "stock/stockcounting.h"
#include "stock/stockedit.h"
#include "stockwindow/criteriapage.h"
#include "stockwindow/stockgridview.h"
#include "stockwindow/stockmonthmodel.h"

#include <QApplication>
#include <QKeyEvent>
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
    const bool editable = ReportErrors(QStringLiteral("fgList_BeforeEdit"), [&] {
        if (col == ColSTKQty || col == ColAvgPrice)
            return true;
        elaMsg->setCaption(LocalMsg(QStringLiteral("CanNotEditThisCol")));
        return false;
    });
    if (!editable)
        *cancel = true;
}

bool fmTOVRAN::showEditOutcome(int index, const EditOutcome &outcome, int col)
{
    switch (outcome.result) {
    case EditOutcome::Written:
        elaMsg->setCaption(QString()); // an earlier refusal no longer applies
        return true;
    case EditOutcome::ChangedElsewhere: {
        const QDateTime when = ParseDateTime(outcome.updDate).value_or(QDateTime());
        const bool count = col == ColSTKQty;
        showLimit(
            QStringLiteral("此筆資料已被 ") + outcome.record.UpdUserID + QStringLiteral(" 於 ") +
            when.time().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" 修改 (") +
            (count ? QStringLiteral("庫存量 ") : QStringLiteral("平均價格 ")) +
            NumText(month().figure(index, col)) + QStringLiteral("), 已重新顯示, 請確認後再輸入"));
        return false;
    }
    case EditOutcome::Gone:
        showLimit(QStringLiteral("庫存紀錄已不存在,無法更新"));
        return false;
    case EditOutcome::Overflow:
        return false;
    case EditOutcome::LockTimeout:
        m_model->rowChanged(index); // nothing was written: the row shows what is stored
        elaMsg->setCaption(QString());
        showLimit(QStringLiteral("另一工作站正在存檔, 請稍後再試"));
        return false;
    case EditOutcome::NothingToUndo:
        DispElaMsg(elaMsg, QStringLiteral("此物料沒有可復原的盤點"));
        return false;
    case EditOutcome::LinesOff:
        DispElaMsg(elaMsg, QStringLiteral("盤點區位與盤點紀錄未啟用"));
        return false;
    }
    return false;
}

WhileWaiting fmTOVRAN::sayWaiting()
{
    return [this] {
        if (elaMsg->caption() != waitingMessage())
            elaMsg->setCaption(waitingMessage());
        // Paint and timers only: no key or click may start other work meanwhile.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

QString fmTOVRAN::waitingMessage()
{
    return QStringLiteral("另一工作站正在存檔, 等待中...");
}

bool fmTOVRAN::enterCount(int index, double x, bool fromGrid)
{
    if (index < 0 || index >= month().size())
        return false;
    const bool bookKept = isBookKept(month().text(index, ColFlag));
    if (fromGrid && !countInProgress() && !m_model->countingView().isBlind()) {
        // A count below opening plus receipts is an ordinary shortage or usage: the clerk
        // confirms it rather than being stopped. A location's count is only part of the
        // row's: it is not asked for each. A blind count is never weighed against the books.
        const RowFigures f = month().figures(index, bookKept);
        if (x < f.lastQty + f.inQty &&
            !frmSureWindow().SHOWMSG(QStringLiteral("庫存量不得小於期初量加進貨量之和,是否確定?"),
                                     QStringLiteral("訊息視窗"), QStringLiteral("Y"), nullptr,
                                     QStringLiteral("確定"), QStringLiteral("取消"), false))
            return false;
    }
    // The grid stores use-unit counts to four decimals, the keypad always to two.
    const int precision = fromGrid ? countPrecision() : 100;
    return showEditOutcome(
        index, m_counting->enterCount(index, bookKept, x, precision, sayWaiting()), ColSTKQty);
}

int fmTOVRAN::countPrecision() const
{
    return m_criteria->useUseUnit() ? 10000 : 100;
}

bool fmTOVRAN::enterPrice(int index, double x)
{
    if (index < 0 || index >= month().size())
        return false;
    return showEditOutcome(index, m_counting->enterPrice(index, x, sayWaiting()), ColAvgPrice);
}

bool fmTOVRAN::fgList_ValidateEdit(int index, int col, const QString &editText)
{
    const QString text = editText.trimmed().toUpper();
    const double x = Val(text);
    // A failure writes nothing (the statements run in one transaction): the row keeps what
    // the database holds.
    const bool accepted = ReportErrors(QStringLiteral("fgList_ValidateEdit"), [&] {
        if (col == ColSTKQty) {
            if (!IsNumeric(text))
                return false;
            if (x < 0) {
                showLimit(QStringLiteral("庫存量不得為負值"));
                return false;
            }
            return enterCount(index, x, true);
        }
        if (col == ColAvgPrice) {
            if (!IsNumeric(text)) {
                DispElaMsg(elaMsg, QStringLiteral("只能輸入數字"));
                return false;
            }
            return enterPrice(index, x);
        }
        return false;
    });
    if (!accepted)
        DispElaMsg(elaMsg, LocalMsg(QStringLiteral("ErrorInputData")));
    QApplication::processEvents();
    return accepted;
}

void fmTOVRAN::fgList_Click()
{
    if (m_params.POSMode != QLatin1String("Y"))
        return;
    const int index = fgList->currentMonthRow();
    if (index < 0 || fgList->currentColumn() != ColSTKQty)
        return;
    ReportErrors(QStringLiteral("fmTOVRAN_fgList_Click"), [&] {
        QString text;
        if (!frmNumKeyWindow().ShowInput(text))
            return;
        // Keypad text is checked like the grid editor's: two points or nothing is
        // no number.
        if (!IsNumeric(text)) {
            DispElaMsg(elaMsg, LocalMsg(QStringLiteral("ErrorInputData")));
            return;
        }
        // The keypad has no negative or opening-plus-receipts check of its own.
        if (!enterCount(index, Val(text), false))
            DispElaMsg(elaMsg, LocalMsg(QStringLiteral("ErrorInputData")));
    });
}
