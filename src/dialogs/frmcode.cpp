#include "dialogs/frmcode.h"

#include "common/errorreport.h"
#include "forms/formhelpers.h"
#include "forms/gridload.h"
#include "forms/runwindows.h"
#include "platform/grid/flexgrid.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPointer>

frmCode::frmCode(QWidget *parent)
    : PickerWindow(QStringLiteral("frmCode"), QStringLiteral("代碼輸入輔助視窗"), parent)
{
    ReportErrors(QStringLiteral("載入代碼輸入輔助視窗"), [&] {
        fgCode->setFixedRows(1);
        fgCode->setCols(2);
        setHeadings(QString(), QString());
        FormCenter(this);
    });
}

void frmCode::setHeadings(const QString &capCode, const QString &capName)
{
    // Headings a caller named last time do not stay on for the next list.
    fgCode->setTextMatrix(0, 0, capCode.isEmpty() ? QStringLiteral("代碼") : capCode);
    fgCode->setTextMatrix(0, 1, capName.isEmpty() ? QStringLiteral("說明") : capName);
}

bool frmCode::FGLoad_NoRedraw(FlexGrid *grid, const QString &pvSQL, int *rowCount)
{
    return FGLoadNoRedraw(grid, pvSQL, rowCount);
}

bool frmCode::ShowPick(const QString &pvSQL, QLineEdit *txtCode, QLineEdit *txtName,
                       const QString &capCode, const QString &capName)
{
    return ReportErrors(QStringLiteral("ShowPick"), [&] {
        m_picked.clear();
        FormCenter(this);
        fgCode->setRows(1);
        FGLoad_NoRedraw(fgCode, pvSQL);
        fgCode->autoSize(0, 1);
        m_query = pvSQL;
        if (fgCode->rows() <= 1)
            return false;
        fgCode->setRow(1);
        fgCode->setTopRow(1);
        m_codeTarget = txtCode;
        m_nameTarget = txtName;
        setHeadings(capCode, capName);
        showModal();
        return true;
    });
}

bool frmCode::PickItem(const QString &pvSQL, QString &result, const QString &key)
{
    return ReportErrors(QStringLiteral("PickItem"), [&] {
        m_picked.clear();
        m_codeTarget = nullptr;
        m_nameTarget = nullptr;
        FormCenter(this);
        setHeadings(QString(), QString());
        FGLoad(fgCode, pvSQL);
        fgCode->autoSize(0, fgCode->cols() - 1);
        const int found = key.isEmpty() ? -1 : fgCode->findRow(key, 1, 0, false, false);
        if (found > 0) {
            fgCode->setRow(found);
            fgCode->setTopRow(found);
        } else {
            fgCode->setRow(1);
        }
        showModal();
        if (m_picked.isEmpty())
            return false;
        result = m_picked;
        return true;
    });
}

void frmCode::pickRow()
{
    m_picked = currentCell(0);
    if (m_codeTarget)
        m_codeTarget->setText(m_picked);
    if (m_nameTarget)
        m_nameTarget->setText(currentCell(1));
    hide();
}

void frmCode::closeEvent(QCloseEvent *event)
{
    m_query.clear();
    PickerWindow::closeEvent(event);
}

frmCode &frmCodeWindow()
{
    static QPointer<frmCode> window;
    if (!window)
        window = OwnedForRun(new frmCode);
    return *window;
}
