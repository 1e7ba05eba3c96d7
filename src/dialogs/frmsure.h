#pragma once

#include <QDialog>
#include <QString>

class ElasticPanel;
class FlexGrid;
class QLabel;
class QPushButton;

namespace Ado {
class Recordset;
}

// The suite's modal message and confirmation window: a message, an optional list and one
// or two buttons with the caller's captions.
class frmSure : public QDialog
{
    Q_OBJECT
public:
    explicit frmSure(QWidget *parent = nullptr);

    // Shows the message (and the list, filled from pRST when given) modally. pvReturn "N"
    // (any case) shows only the first button. pbShortSize makes the window short when the
    // list has no rows. True when the first button closed the window; false for the second
    // button or when the window was closed otherwise.
    bool SHOWMSG(const QString &pvMsg, const QString &pvTitle, const QString &pvReturn,
                 Ado::Recordset *pRST, const QString &pvButtonOKTitle,
                 const QString &pvButtonCancelTitle, bool pbShortSize);

    // Appends one TAB-separated line to the list; the list takes that line's column count.
    void AddLine(const QString &pvLine);
    // Empties the message and the list.
    void ClearMsgFrom();
    void SetList(int pvFixedCols, int pvFixedRows, int pvFontSize);
    // Lists a recordset with one column per record (the field names in the fixed first
    // column). Always false.
    bool PickRST(Ado::Recordset *pRST);

    QString fvFormSize;

    // The window height SHOWMSG chose, in twips.
    int formHeightTwips() const { return m_heightTwips; }

    void cmdOK_Click();
    void cmdCancel_Click();

    // Esc and the title bar's close answer as the second button does.
    void reject() override;

private:
    void placeButtons(bool oneButton);

    ElasticPanel *elaSure = nullptr;
    ElasticPanel *ela1 = nullptr;
    ElasticPanel *elaMsg = nullptr;
    ElasticPanel *elaList = nullptr;
    FlexGrid *fgList = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLabel *lblCustName = nullptr;

    bool m_result = false;
    int m_heightTwips = 0;
};

// The confirmation window, created on first use and only hidden after each use.
frmSure &frmSureWindow();
