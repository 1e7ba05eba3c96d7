#pragma once

#include "dialogs/pickerwindow.h"
#include "platform/db/connection.h"

#include <QPointer>

class QLineEdit;

// The code and description chooser: a two-column list whose picked row the caller reads
// from PickCode and PickName.
class frmPickF2 : public PickerWindow
{
    Q_OBJECT
public:
    explicit frmPickF2(QWidget *parent = nullptr);

    // Shows the rows the caller put into fgCode, in the screen's bottom-right corner.
    // True after a pick; PickCode and PickName then hold columns 0 and 1.
    bool PickList(const QString &head1 = QString(), const QString &head2 = QString());
    // The same for the records of rs (loaded with their field names as titles).
    bool PickRST(Ado::Recordset &rs, const QString &head1 = QString(),
                 const QString &head2 = QString());
    // Fills the list from pvSQL and shows it (also when empty); after a pick writes
    // column 0 into txtCode and column 1 into txtName (when given) and returns true.
    bool ShowPick(const QString &pvSQL, QLineEdit *txtCode, QLineEdit *txtName = nullptr,
                  const QString &head1 = QString(), const QString &head2 = QString());

    QString PickCode;
    QString PickName;

protected:
    void pickRow() override;

private:
    bool showList(const QString &head1, const QString &head2, bool rightBottom);

    bool m_cancelled = true;
};

frmPickF2 &frmPickF2Window();
