#pragma once

#include "dialogs/pickerwindow.h"
#include "platform/db/connection.h"

// The one-column chooser without a title row.
class frmPickF1 : public PickerWindow
{
    Q_OBJECT
public:
    explicit frmPickF1(QWidget *parent = nullptr);

    // Lists column 0 of every record of rs in the screen's bottom-right corner; true and
    // the picked text in item after a pick, false after Esc.
    bool PickItem(Ado::Recordset &rs, QString &item);

protected:
    void pickRow() override;
    QString clickLabel() const override { return QStringLiteral("DispCode"); }

private:
    bool m_picked = false;
    QString m_item;
};

frmPickF1 &frmPickF1Window();
