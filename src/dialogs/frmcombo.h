#pragma once

#include "dialogs/pickerwindow.h"
#include "platform/db/connection.h"

#include <QPointer>

class QLineEdit;
class QPushButton;

// The item chooser: a one-column list in the screen's bottom-right corner, with a page
// button and a cancel button.
class frmCombo : public PickerWindow
{
    Q_OBJECT
public:
    explicit frmCombo(QWidget *parent = nullptr);

    // Shows the list of pvSQL modally (reloading it unless it is the list a drop-down
    // loaded last); after a pick writes column 0 into txtTarget and returns true.
    bool ShowPick(const QString &pvSQL, QLineEdit *txtTarget, const QString &caption = QString());
    // Shows the list of pvSQL, run on the connection handed over with setConnection (the
    // shared connection when none was), without waiting; nothing when it has no rows. A
    // later pick writes column 0 into txtTarget.
    void DropDown(const QString &pvSQL, QLineEdit *txtTarget, const QString &caption = QString());
    // Loads pvSQL, shows it modally; true and the picked code in item after a pick.
    bool PickItem(const QString &pvSQL, QString &item);
    // Lists column 0 of every record of rs; true and the picked code in item after a pick.
    bool PickRST(Ado::Recordset &rs, QString &item, const QString &caption = QString());

    void setConnection(const Ado::ConnectionPtr &connection) { m_connection = connection; }

    void cmdBottom_Click();
    void cmdCancel_Click();

    bool picked() const { return m_pickedFlag; }
    QString pickedValue() const { return m_picked; }

    QPushButton *cmdBottom = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    void pickRow() override;

private:
    void prepare(const QString &caption);

    Ado::ConnectionPtr m_connection;
    QString m_listQuery; // the query the list holds, loaded by DropDown
    bool m_pickedFlag = false;
    QString m_picked;
    QPointer<QLineEdit> m_dropTarget;
};

frmCombo &frmComboWindow();
