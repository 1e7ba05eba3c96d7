// The criteria page: key handling, pickers, validation on leaving a box,
// FormCheck.
#include "stockwindow/fmtovran.h"

#include "common/dates.h"
#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/norv.h"
#include "dialogs/fmcodedate.h"
#include "dialogs/frmcode.h"
#include "forms/formhelpers.h"
#include "platform/widgets/elasticpanel.h"
#include "platform/widgets/messagebox.h"
#include "stock/fdstock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QTimer>
#include <QWindow>

namespace {
const QString ItemPickSql = QStringLiteral("Select STKNo , STKName From  STK Order by STKNo");
}

bool fmTOVRAN::isCriteriaBox(const QObject *object) const
{
    return object == txtYear || object == txtMonth || object == txtDeptNoB || object == txtSTKNoB ||
           object == txtSTKNoE || object == txtSINDateB || object == txtSINDateE;
}

bool fmTOVRAN::eventFilter(QObject *watched, QEvent *event)
{
    // A click elsewhere in the window first validates the box being left; a
    // refused box keeps the focus and the click is dropped. A real click is seen
    // where it reaches the window, before the application hands the focus to the
    // clicked control; one delivered straight to a control may have moved the
    // focus already, and the refusal takes it back.
    if (event->type() == QEvent::MouseButtonPress && !m_validating) {
        QWidget *target = nullptr;
        if (watched == windowHandle()) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            target = childAt(mapFromGlobal(mouse->globalPosition().toPoint()));
        } else if (auto *widget = qobject_cast<QWidget *>(watched);
                   widget && widget->window() == this) {
            target = widget;
        }
        QLineEdit *left = m_editingBox;
        if (target && left && target != left && !left->isAncestorOf(target)) {
            if (!validateBox(left))
                return true;
            auto *focused = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            m_editingBox = isCriteriaBox(focused) ? focused : nullptr;
        }
        return QMainWindow::eventFilter(watched, event);
    }

    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box || box->window() != this)
        return QMainWindow::eventFilter(watched, event);

    if (box == textSTKNo) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                cmdSeekSTKNo_Click(); // a barcode scanner ends the number with Enter
                return true;
            }
        }
        return false;
    }
    if (box == txtLType) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            txtLType_DblClick();
            return true;
        }
        return false;
    }
    if (!isCriteriaBox(box))
        return false;

    switch (event->type()) {
    case QEvent::FocusIn:
        // A box left without validation (the focus went by a click) stays the
        // one to validate.
        if (!m_editingBox)
            m_editingBox = box;
        // Deferred: a mouse click places the cursor after the focus arrives.
        QTimer::singleShot(0, box, [box] { SelText(box); });
        return false;
    case QEvent::KeyPress:
        return criteriaKeyDown(box, static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonDblClick:
        openPicker(box);
        return true;
    default:
        return false;
    }
}

bool fmTOVRAN::criteriaKeyDown(QLineEdit *box, QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        if (!validateBox(box))
            return true; // leaving by Tab validates first
        m_editingBox = nullptr;
        return false;
    }
    if (KeyToTab(box, key))
        return true; // Enter is swallowed too: it only moves on
    if (key == Qt::Key_F8 && box != txtYear && box != txtMonth) {
        openPicker(box);
        return true;
    }
    return false;
}

void fmTOVRAN::openPicker(QLineEdit *box)
{
    try {
        if (box == txtDeptNoB) {
            QString sql = QStringLiteral(" Select Compno, CompSName ") + Dialect().gsConcatOp +
                          QStringLiteral(" deptno  From Corp ") +
                          QStringLiteral(" Where StockNo > 0 ");
            if (!Suite().gvDeptPrefix.isEmpty())
                sql += QStringLiteral(" and compno like ") +
                       QuotField(Suite().gvDeptPrefix + QLatin1Char('%'));
            sql += QStringLiteral(" Order by CompNO ");
            frmCodeWindow().ShowPick(sql, txtDeptNoB, txtDeptNameB);
        } else if (box == txtSTKNoB) {
            frmCodeWindow().ShowPick(ItemPickSql, txtSTKNoB, txtSTKNameB);
        } else if (box == txtSTKNoE) {
            frmCodeWindow().ShowPick(ItemPickSql, txtSTKNoE, txtSTKNameE);
        } else if (box == txtSINDateB || box == txtSINDateE) {
            fmCodeDateWindow().ShowPick(txtSINDateB, txtSINDateE);
        }
    } catch (...) {
        // the pickers ignore errors
    }
}

void fmTOVRAN::refuse(QLineEdit *box, const QString &message)
{
    if (!message.isEmpty())
        DispElaMsg(elaMsg, message);
    SelText(box);
    box->setFocus(Qt::OtherFocusReason);
}

bool fmTOVRAN::validateFocusedBox()
{
    QLineEdit *box = m_editingBox;
    if (!box)
        box = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    if (!box || !isCriteriaBox(box))
        return true;
    if (!validateBox(box))
        return false;
    m_editingBox = nullptr;
    return true;
}

bool fmTOVRAN::validateBox(QLineEdit *box)
{
    if (m_validating)
        return true;
    m_validating = true;
    const auto done = qScopeGuard([this] { m_validating = false; });
    const QString text = box->text().trimmed();
    QString label;
    try {
        if (box == txtYear || box == txtMonth) {
            label = box == txtYear ? QStringLiteral("txtYear_Validate")
                                   : QStringLiteral("txtMonth_Validate");
            if (text.isEmpty() || box->isReadOnly())
                return true;
            if (!IsNumeric(text)) {
                refuse(box, QStringLiteral("一定要輸入數字"));
                return false;
            }
            const double value = Val(text);
            if (box == txtMonth && (value < 1 || value > 12)) {
                refuse(box, QStringLiteral("月份一定在1-12之間"));
                return false;
            }
            // A year must name a calendar year: "1e308" is a number but no year.
            if (box == txtYear && !IsCalendarYear(value)) {
                refuse(box, QStringLiteral("年度不正確"));
                return false;
            }
            return true;
        }
        if (box == txtDeptNoB) {
            label = QStringLiteral("txtDeptNoB_Validate");
            if (text.isEmpty())
                return true;
            if (text.size() < Suite().gvDeptPrefix.size() ||
                !text.startsWith(Suite().gvDeptPrefix)) {
                refuse(box, QString()); // a restricted user stays in the box, silently
                return false;
            }
            QString name;
            if (!GetDeptName(box->text(), name)) {
                txtDeptNameB->clear();
                refuse(box, QStringLiteral("無此部門代號"));
                return false;
            }
            txtDeptNameB->setText(name);
            return true;
        }
        if (box == txtSTKNoB || box == txtSTKNoE) {
            label = box == txtSTKNoB ? QStringLiteral("txtSTKNoB_Validate")
                                     : QStringLiteral("txtSTKNoE_Validate");
            if (text.isEmpty())
                return true;
            QString name;
            GetSTKDscp(box->text(), name);
            (box == txtSTKNoB ? txtSTKNameB : txtSTKNameE)->setText(name);
            return true;
        }
        if (box == txtSINDateB || box == txtSINDateE) {
            label = box == txtSINDateB ? QStringLiteral("txtSINDateB_Validate")
                                       : QStringLiteral("txtSINDateE_Validate");
            if (text.isEmpty())
                return true;
            const QString withSep = dateAddSep(box->text());
            const bool valid = IsDate(DBDateSave(withSep));
            box->setText(withSep);
            if (!valid) {
                MsgBox::show(QStringLiteral("日期格式錯誤"), MsgBox::Icon::Critical);
                refuse(box, QString());
                return false;
            }
            return true;
        }
    } catch (const std::exception &e) {
        ShowErr(label, ToRunError(e));
    }
    return true;
}

bool fmTOVRAN::FormCheck()
{
    return ReportErrors(QStringLiteral("FormCheck"), [&]() -> bool {
        auto fail = [this](QLineEdit *box, const QString &message) {
            gvMsg = message;
            MsgBox::show(gvMsg, MsgBox::Icon::Critical);
            SelText(box);
            return false;
        };
        if (txtYear->text().trimmed().isEmpty())
            return fail(txtYear, QStringLiteral("請輸入轉檔的年度"));
        if (!IsCalendarYear(Val(txtYear->text())))
            return fail(txtYear, QStringLiteral("年度不正確"));
        if (txtMonth->text().trimmed().isEmpty())
            return fail(txtMonth, QStringLiteral("請輸入轉檔的月份"));
        if (criteriaMonth() < 1 || criteriaMonth() > 12)
            return fail(txtMonth, QStringLiteral("月份一定在1-12之間"));
        if (txtDeptNoB->text().trimmed().isEmpty())
            return fail(txtDeptNoB, QStringLiteral("請輸入部門別"));
        Ado::Recordset rs =
            Conn().gCNT->execute(QStringLiteral(" Select StockNo From Corp ") +
                                 QStringLiteral(" Where CompNo = ") + QuotStr(txtDeptNoB->text()));
        if (rs.eof())
            return fail(txtDeptNoB, QStringLiteral("此部門未設定倉庫代號"));
        txtStockNo->setText(NumText(Val(rs.text(QStringLiteral("StockNo")))));
        return true;
    });
}
