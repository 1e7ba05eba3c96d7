#include "dialogs/frmselect.h"

#include "common/errorreport.h"
#include "forms/formhelpers.h"
#include "forms/gridload.h"
#include "forms/runwindows.h"
#include "platform/grid/flexgrid.h"
#include "platform/widgets/messagebox.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString SelectCaption = QStringLiteral("代碼輸入輔助視窗");
}

frmSelect::frmSelect(QWidget *parent)
    : PickerWindow(QStringLiteral("frmSelect"), SelectCaption, parent)
{
    fgCode->setFixedRows(1);
    fgCode->setCols(2);
    cmdOK = new QPushButton(QStringLiteral("確定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    static_cast<QVBoxLayout *>(layout())->addLayout(buttons);
    resize(640, 400);
    connect(cmdOK, &QPushButton::clicked, this, &frmSelect::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSelect::cmdCancel_Click);
}

void frmSelect::AddLine(const QString &line)
{
    ReportErrors(QStringLiteral("frmSelect_AddLine"), [&] {
        fgCode->setCols(static_cast<int>(line.split(QLatin1Char('\t')).size()));
        fgCode->addItem(line);
        fgCode->autoSize(0, fgCode->cols() - 1);
    });
}

bool frmSelect::PickList(const QString &pvHead)
{
    return ReportErrors(QStringLiteral("frmSelect_PickList"), [&] {
        PickCode.clear();
        PickDscp.clear();
        // The caption a recordset pick named last does not stay on.
        setWindowTitle(SelectCaption);
        cmdOK->setVisible(true);
        FormCenter(this);
        m_cancelled = true;
        if (pvHead.isEmpty()) {
            fgCode->setTextMatrix(0, 0, QStringLiteral("代碼"));
            fgCode->setTextMatrix(0, 1, QStringLiteral("代碼說明"));
        } else {
            fgCode->setFormatString(pvHead);
        }
        fgCode->autoSize(0, fgCode->cols() - 1);
        showModal();
        return !m_cancelled;
    });
}

bool frmSelect::PickRST(Ado::Recordset &pRST, const QString &pvHead, const QString &pvTitle,
                        bool pbSingleButton)
{
    return ReportErrors(QStringLiteral("frmSelect_PickRST"), [&] {
        PickCode.clear();
        FormCenter(this);
        m_cancelled = true;
        if (!FGLoadRST(fgCode, pRST))
            return false;
        if (!pvHead.isEmpty())
            fgCode->setFormatString(pvHead);
        setWindowTitle(pvTitle.isEmpty() ? QStringLiteral("輔助輸入視窗") : pvTitle);
        fgCode->autoSize(0, fgCode->cols() - 1);
        fgCode->setRow(1);
        cmdOK->setVisible(!pbSingleButton);
        QApplication::processEvents();
        showModal();
        return !m_cancelled;
    });
}

void frmSelect::cmdOK_Click()
{
    ReportErrors(QStringLiteral("frmSelect_cmdOK_Click"), [&] {
        if (fgCode->row() < 1) {
            MsgBox::show(QStringLiteral("請選擇一筆資料"));
            return;
        }
        pickRow();
    });
}

void frmSelect::cmdCancel_Click()
{
    PickCode.clear();
    PickDscp.clear();
    hide();
}

// OK, Enter and Space all take the current row: a pick that reports success always
// names the row it picked.
void frmSelect::pickRow()
{
    PickCode = currentCell(0);
    PickDscp = currentCell(1);
    m_cancelled = false;
    hide();
}

frmSelect &frmSelectWindow()
{
    static QPointer<frmSelect> window;
    if (!window)
        window = OwnedForRun(new frmSelect);
    return *window;
}
