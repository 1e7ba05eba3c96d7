// The criteria page: key handling, pickers, validation on leaving a box, FormCheck.
#include "stockwindow/criteriapage.h"

#include "common/clock.h"
#include "common/dates.h"
#include "common/errorreport.h"
#include "common/numtext.h"
#include "common/state.h"
#include "data/adodb.h"
#include "data/norv.h"
#include "dialogs/fmcodedate.h"
#include "dialogs/frmcode.h"
#include "dialogs/frmpickf1.h"
#include "platform/settingsstore.h"
#include "platform/widgets/messagebox.h"
#include "stock/fdstock.h"
#include "stockwindow/stockoptions.h"
#include "stockwindow/windowcontrols.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QTimer>
#include <QWindow>
#include <cmath>

using namespace WindowControls;

namespace {
const QString ItemPickSql = QStringLiteral("Select STKNo , STKName From  STK Order by STKNo");
}

CriteriaPage::CriteriaPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("elapage(0)"));
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(8, 1);

    txtYear = textBox(QStringLiteral("txtYear"));
    txtMonth = textBox(QStringLiteral("txtMonth"));
    txtYear->setMaximumWidth(80);
    txtMonth->setMaximumWidth(50);
    grid->addWidget(label(QStringLiteral("Label6"), QStringLiteral("轉檔月份")), 0, 0);
    auto *period = new QHBoxLayout;
    period->addWidget(txtYear);
    period->addWidget(txtMonth);
    period->addWidget(label(QStringLiteral("Label2"), QStringLiteral("(年/月)")));
    period->addStretch(1);
    grid->addLayout(period, 0, 1, 1, 4);

    txtDeptNoB = textBox(QStringLiteral("txtDeptNoB"));
    txtDeptNameB = textBox(QStringLiteral("txtDeptNameB"), true);
    txtStockNo = textBox(QStringLiteral("txtStockNo"));
    txtStockNo->setMaximumWidth(50);
    grid->addWidget(label(QStringLiteral("Label1"), QStringLiteral("部門")), 1, 0);
    grid->addWidget(txtDeptNoB, 1, 1);
    grid->addWidget(txtDeptNameB, 1, 2);
    grid->addWidget(txtStockNo, 1, 3);
    grid->addWidget(label(QStringLiteral("Label9"), QStringLiteral("(只能選有設定倉庫別的部門)")),
                    1, 4);

    txtSTKNoB = textBox(QStringLiteral("txtSTKNoB"));
    txtSTKNoE = textBox(QStringLiteral("txtSTKNoE"));
    txtSTKNameB = textBox(QStringLiteral("txtSTKNameB"), true);
    txtSTKNameE = textBox(QStringLiteral("txtSTKNameE"), true);
    grid->addWidget(label(QStringLiteral("Label5"), QStringLiteral("物料代號")), 2, 0);
    grid->addWidget(txtSTKNoB, 2, 1);
    grid->addWidget(txtSTKNameB, 2, 2);
    grid->addWidget(label(QStringLiteral("Label10"), QStringLiteral("-至-")), 3, 0, Qt::AlignRight);
    grid->addWidget(txtSTKNoE, 3, 1);
    grid->addWidget(txtSTKNameE, 3, 2);

    txtSINDateB = textBox(QStringLiteral("txtSINDateB"), true);
    txtSINDateE = textBox(QStringLiteral("txtSINDateE"), true);
    grid->addWidget(label(QStringLiteral("Label3"), QStringLiteral("日期區間:")), 4, 0);
    grid->addWidget(txtSINDateB, 4, 1);
    grid->addWidget(label(QStringLiteral("Label4"), QStringLiteral("-至-")), 4, 2, Qt::AlignLeft);
    grid->addWidget(txtSINDateE, 4, 3, 1, 2);

    txtLType = textBox(QStringLiteral("txtLType"));
    grid->addWidget(label(QStringLiteral("lblLType"), QStringLiteral("物料大類別")), 5, 0);
    grid->addWidget(txtLType, 5, 1);

    chkUseUUnit = checkBox(QStringLiteral("chkUseUUnit"), QStringLiteral("使用耗用單位"));
    chkAutoCalQty = checkBox(QStringLiteral("chkAutoCalQty"), QStringLiteral("不顯示盤盈虧"), true);
    chkSortBySTKFlag =
        checkBox(QStringLiteral("chkSortBySTKFlag"), QStringLiteral("要入庫的物料排在前面"));
    grid->addWidget(chkUseUUnit, 6, 1);
    grid->addWidget(chkAutoCalQty, 6, 2);
    grid->addWidget(chkSortBySTKFlag, 6, 3, 1, 2);

    cmdQry = button(QStringLiteral("cmdQry"), QStringLiteral("&Q 查詢"));
    cmdQry->setMinimumHeight(36);
    grid->addWidget(cmdQry, 7, 1);

    connect(cmdQry, &QPushButton::clicked, this, &CriteriaPage::queryRequested);
    // Setting a box to another value runs its handler, by the user or by the program.
    connect(chkAutoCalQty, &QCheckBox::toggled, this, &CriteriaPage::hideAdjustmentChanged);
    connect(chkUseUUnit, &QCheckBox::toggled, this, [this](bool on) {
        ReportErrors(QStringLiteral("fmTOVRAN_chkUseUUnit_Click"), [&] {
            // Takes effect at the next query; the loaded rows are not converted again.
            SaveSetting(QStringLiteral("NORV"), QStringLiteral("STK"), QStringLiteral("UseUUnit"),
                        on ? QStringLiteral("Y") : QStringLiteral("N"));
        });
    });
    // The page sees the keys of its boxes first, and clicks anywhere in the window where
    // they reach it, before the focus moves.
    qApp->installEventFilter(this);
}

bool CriteriaPage::takeDefaultDepartment()
{
    const QString defDept =
        GetSetting(QStringLiteral("STK"), QStringLiteral("A1"), QStringLiteral("DEFDEPTNO"));
    if (defDept.isEmpty()) {
        txtDeptNoB->clear();
        SetTabStop(txtDeptNoB, true);
        txtDeptNoB->setEnabled(true);
        return true;
    }
    txtDeptNoB->setText(defDept);
    Ado::Recordset rs =
        Conn().gCNT->execute(QStringLiteral(" Select Compno, CompSName ") + Dialect().gsConcatOp +
                             QStringLiteral(" DeptNo as DeptName ,StockNo From Corp ") +
                             QStringLiteral(" Where Compno = ") + QuotStr(txtDeptNoB->text()) +
                             QStringLiteral(" Order by CompNO "));
    if (rs.eof()) {
        Q_EMIT message(QStringLiteral("無此部門代號"));
        txtDeptNameB->clear();
        SelText(txtDeptNoB);
        return false;
    }
    const int stockNo = ValInt(rs.text(QStringLiteral("StockNo")));
    if (stockNo < 1 || stockNo > 10) {
        Q_EMIT message(QStringLiteral("倉庫碼錯誤"));
        SelText(txtDeptNoB);
        return false;
    }
    txtStockNo->setText(QString::number(stockNo));
    txtDeptNameB->setText(rs.text(QStringLiteral("DeptName")));
    SetTabStop(txtDeptNoB, true);
    txtDeptNoB->setEnabled(true);
    return true;
}

void CriteriaPage::proposePeriod()
{
    const QDate p = Clock::today().addMonths(-1);
    txtYear->setText(QString::number(UsesRocCalendar() ? p.year() - 1911 : p.year()));
    txtMonth->setText(QString::number(p.month()));
}

void CriteriaPage::restoreOptions(bool flagOrderOffered)
{
    if (!flagOrderOffered) {
        chkSortBySTKFlag->setChecked(false);
        chkSortBySTKFlag->setVisible(false);
    }
    chkAutoCalQty->setChecked(StockOption(QStringLiteral("chkAutoCalQty")));
    // A department on issue slips has the flag order hidden: a saved choice must not order
    // its rows unseen.
    if (flagOrderOffered)
        chkSortBySTKFlag->setChecked(
            StockOption(QStringLiteral("chkSortBySTKFlag"), QStringLiteral("Y")));
    chkUseUUnit->setChecked(GetSetting(QStringLiteral("NORV"), QStringLiteral("STK"),
                                       QStringLiteral("UseUUnit")) == QLatin1String("Y"));
}

void CriteriaPage::saveOptions() const
{
    SaveStockOption(QStringLiteral("chkAutoCalQty"), chkAutoCalQty->isChecked());
    SaveStockOption(QStringLiteral("chkSortBySTKFlag"), chkSortBySTKFlag->isChecked());
}

void CriteriaPage::focusFirstBox()
{
    for (QLineEdit *box : {txtYear, txtMonth, txtDeptNoB, txtSTKNoB, txtSTKNoE, txtLType}) {
        if (box->isEnabled() && HasTabStop(box)) {
            box->setFocus();
            box->selectAll();
            return;
        }
    }
}

int CriteriaPage::year() const
{
    const double typed = Val(txtYear->text());
    return IsCalendarYear(typed) ? WesternYear(static_cast<int>(typed)) : 0;
}

int CriteriaPage::month() const
{
    const double typed = Val(txtMonth->text());
    return typed >= 1 && typed < 13 ? static_cast<int>(typed) : 0;
}

QString CriteriaPage::deptNo() const
{
    return txtDeptNoB->text().trimmed();
}

int CriteriaPage::warehouseNo() const
{
    return ValInt(txtStockNo->text());
}

QString CriteriaPage::itemFrom() const
{
    return txtSTKNoB->text();
}

QString CriteriaPage::itemTo() const
{
    return txtSTKNoE->text();
}

QString CriteriaPage::category() const
{
    return txtLType->text();
}

bool CriteriaPage::useUseUnit() const
{
    return chkUseUUnit->isChecked();
}

bool CriteriaPage::hideAdjustment() const
{
    return chkAutoCalQty->isChecked();
}

bool CriteriaPage::sortByFlag() const
{
    return chkSortBySTKFlag->isChecked();
}

bool CriteriaPage::IsCalendarYear(double typedYear)
{
    if (typedYear != std::floor(typedYear) || typedYear < 1 || typedYear > 9999)
        return false;
    const int western = WesternYear(static_cast<int>(typedYear));
    return western >= 1 && western <= 9999;
}

QString CriteriaPage::GetLTYPE()
{
    return ReportErrors(QStringLiteral("GetLTYPE"), [&]() -> QString {
        const QString where = Dialect().gsDBType == QLatin1String("PG_SQL")
                                  ? QStringLiteral(" Where  UPPER(codetype)  = 'LTYPE' ")
                                  : QStringLiteral(" Where codetype = 'LTYPE' ");
        Ado::Recordset rs = Conn().gCNT->execute(QStringLiteral("Select  dscp from xxcode ") +
                                                 where + QStringLiteral(" Order by Code "));
        if (rs.eof())
            return QString();
        QString item;
        if (frmPickF1Window().PickItem(rs, item))
            return item;
        return QString();
    });
}

void CriteriaPage::txtLType_DblClick()
{
    txtLType->setText(GetLTYPE()); // a cancelled pick clears the box
    QApplication::postEvent(txtLType, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
}

bool CriteriaPage::isCriteriaBox(const QObject *object) const
{
    return object == txtYear || object == txtMonth || object == txtDeptNoB || object == txtSTKNoB ||
           object == txtSTKNoE || object == txtSINDateB || object == txtSINDateE;
}

bool CriteriaPage::pressValidates(QObject *watched, QEvent *event)
{
    // A click elsewhere in the window first validates the box being left; a refused box
    // keeps the focus and the click is dropped. A real click is seen where it reaches the
    // window, before the application hands the focus to the clicked control; one delivered
    // straight to a control may have moved the focus already, and the refusal takes it back.
    QWidget *top = window();
    QWidget *target = nullptr;
    if (watched == top->windowHandle()) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        target = top->childAt(top->mapFromGlobal(mouse->globalPosition().toPoint()));
    } else if (auto *widget = qobject_cast<QWidget *>(watched); widget && widget->window() == top) {
        target = widget;
    }
    QLineEdit *left = m_editingBox;
    if (target && left && target != left && !left->isAncestorOf(target)) {
        if (!validateBox(left))
            return true;
        auto *focused = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        m_editingBox = isCriteriaBox(focused) ? focused : nullptr;
    }
    return false;
}

bool CriteriaPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && !m_validating)
        return pressValidates(watched, event) || QWidget::eventFilter(watched, event);

    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box || !isAncestorOf(box))
        return QWidget::eventFilter(watched, event);
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
        // A box left without validation (the focus went by a click) stays the one to
        // validate.
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

bool CriteriaPage::criteriaKeyDown(QLineEdit *box, QKeyEvent *event)
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

void CriteriaPage::openPicker(QLineEdit *box)
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

void CriteriaPage::refuse(QLineEdit *box, const QString &why)
{
    if (!why.isEmpty())
        Q_EMIT message(why);
    SelText(box);
    box->setFocus(Qt::OtherFocusReason);
}

bool CriteriaPage::validateFocusedBox()
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

bool CriteriaPage::validateBox(QLineEdit *box)
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

bool CriteriaPage::FormCheck()
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
        if (month() < 1 || month() > 12)
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
