#include "dialogs/frmcombo.h"

#include "common/errorreport.h"
#include "data/adodb.h"
#include "forms/formhelpers.h"
#include "forms/gridload.h"
#include "forms/runwindows.h"
#include "platform/grid/flexgrid.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString ComboCaption = QStringLiteral("選取項目輔助視窗");
constexpr int PageRows = 7;
} // namespace

frmCombo::frmCombo(QWidget *parent) : PickerWindow(QStringLiteral("frmCombo"), ComboCaption, parent)
{
    fgCode->setFixedRows(1);
    fgCode->setCols(1);
    fgCode->setTextMatrix(0, 0, QStringLiteral("代碼"));
    cmdBottom = new QPushButton(QStringLiteral("▼"), this);
    cmdBottom->setObjectName(QStringLiteral("cmdBottom"));
    cmdBottom->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdBottom);
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel);
    static_cast<QVBoxLayout *>(layout())->addLayout(buttons);
    resize(320, 280);
    connect(cmdBottom, &QPushButton::clicked, this, &frmCombo::cmdBottom_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCombo::cmdCancel_Click);
}

void frmCombo::prepare(const QString &caption)
{
    m_pickedFlag = false;
    m_picked.clear();
    m_dropTarget = nullptr;
    if (isVisible())
        hide(); // a drop-down still open
    setModal(true);
    setWindowTitle(caption.isEmpty() ? ComboCaption : caption);
    FormRightBottom(this);
}

bool frmCombo::ShowPick(const QString &pvSQL, QLineEdit *txtTarget, const QString &caption)
{
    return ReportErrors(QStringLiteral("ShowPick"), [&] {
        prepare(caption);
        if (pvSQL != m_listQuery) {
            FGLoad(fgCode, pvSQL);
            fgCode->autoSize(0, fgCode->cols() - 1);
        }
        showModal();
        if (!m_pickedFlag)
            return false;
        if (txtTarget)
            txtTarget->setText(currentCell(0));
        return true;
    });
}

void frmCombo::DropDown(const QString &pvSQL, QLineEdit *txtTarget, const QString &caption)
{
    ReportErrors(QStringLiteral("DropDown"), [&] {
        const Ado::ConnectionPtr connection = m_connection ? m_connection : Conn().gCNT;
        if (!connection)
            throw RunError(RunError::Database, QStringLiteral("資料庫尚未連線"));
        Ado::Recordset rs = connection->execute(pvSQL);
        if (rs.eof())
            return;
        prepare(caption);
        if (pvSQL != m_listQuery) {
            FGLoadRST(fgCode, rs);
            fgCode->autoSize(0, fgCode->cols() - 1);
            m_listQuery = pvSQL;
        }
        m_dropTarget = txtTarget;
        setModal(false);
        show();
        raise();
        fgCode->setFocus();
    });
}

bool frmCombo::PickItem(const QString &pvSQL, QString &item)
{
    return ReportErrors(QStringLiteral("PickItem"), [&] {
        prepare(QString());
        FGLoad(fgCode, pvSQL);
        m_listQuery.clear();
        fgCode->autoSize(0, fgCode->cols() - 1);
        showModal();
        if (!m_pickedFlag)
            return false;
        item = m_picked;
        return true;
    });
}

bool frmCombo::PickRST(Ado::Recordset &rs, QString &item, const QString &caption)
{
    return ReportErrors(QStringLiteral("PickRST"), [&] {
        prepare(caption);
        {
            const GridRedrawOff redrawOff(fgCode);
            fgCode->setRows(1);
            fgCode->setCols(1);
            fgCode->setTextMatrix(0, 0, QStringLiteral("代碼"));
            while (!rs.eof()) {
                fgCode->addRow({rs.text(0)});
                rs.moveNext();
            }
        }
        m_listQuery.clear();
        fgCode->setColWidth(0, 2500);
        fgCode->setRow(1);
        showModal();
        if (!m_pickedFlag)
            return false;
        item = m_picked;
        return true;
    });
}

void frmCombo::cmdBottom_Click()
{
    const int top = fgCode->topRow();
    const int below = fgCode->rows() - 1 - top;
    fgCode->setTopRow(below < PageRows ? fgCode->fixedRows() : top + PageRows);
}

void frmCombo::cmdCancel_Click()
{
    hide();
}

void frmCombo::pickRow()
{
    m_pickedFlag = true;
    m_picked = currentCell(0);
    if (m_dropTarget)
        m_dropTarget->setText(m_picked);
    hide();
}

frmCombo &frmComboWindow()
{
    static QPointer<frmCombo> window;
    if (!window)
        window = OwnedForRun(new frmCombo);
    return *window;
}
