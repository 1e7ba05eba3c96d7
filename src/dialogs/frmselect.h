#pragma once

#include "dialogs/pickerwindow.h"
#include "platform/db/connection.h"

class QPushButton;

// The list pick window: rows added line by line or from a recordset, one picked with OK,
// Enter or Space; the caller reads cells 0 and 1 of that row from PickCode and PickDscp.
class frmSelect : public PickerWindow
{
    Q_OBJECT
public:
    explicit frmSelect(QWidget *parent = nullptr);

    // Appends a row from TAB-separated cells; the column count follows the line.
    void AddLine(const QString &line);
    // Shows the added rows under the titles of pvHead ("|"-separated; default "代碼" and
    // "代碼說明"). True when the user accepted a row.
    bool PickList(const QString &pvHead = QString());
    // Shows the records of pRST; pvTitle is the caption, pbSingleButton hides OK. False at
    // once when the recordset holds no record.
    bool PickRST(Ado::Recordset &pRST, const QString &pvHead = QString(),
                 const QString &pvTitle = QString(), bool pbSingleButton = false);

    void cmdOK_Click();
    void cmdCancel_Click();

    QString PickCode;
    QString PickDscp;

    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    void pickRow() override;
    bool clickPicks() const override { return false; }

private:
    bool m_cancelled = true;
};

frmSelect &frmSelectWindow();
