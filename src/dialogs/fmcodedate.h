#pragma once

#include "dialogs/pickerwindow.h"

#include <QPointer>

class QLineEdit;

// The stock period picker: every period end date found in the stock table, newest first,
// beside the day after the previous period's end.
class fmCodeDate : public PickerWindow
{
    Q_OBJECT
public:
    explicit fmCodeDate(QWidget *parent = nullptr);

    // Lists the periods and shows the list; a pick writes the start date into txtFrom and
    // the end date into txtTo. False, without showing anything, when there is no period.
    bool ShowPick(QLineEdit *txtFrom, QLineEdit *txtTo);

protected:
    void pickRow() override;

private:
    QPointer<QLineEdit> m_fromTarget;
    QPointer<QLineEdit> m_toTarget;
};

fmCodeDate &fmCodeDateWindow();
