#pragma once

#include <QWidget>

class QCheckBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;

// The stock window's query criteria: the period, the department, the item range, the
// category and the options of the query. Its boxes are checked as they are left (a refused
// box keeps the focus), F8 and a double click open their pickers, Enter moves on.
class CriteriaPage : public QWidget
{
    Q_OBJECT
public:
    explicit CriteriaPage(QWidget *parent = nullptr);

    // The workstation's default department, checked; false when it is refused (the message
    // line says why) and the window goes no further.
    bool takeDefaultDepartment();
    // The month before today.
    void proposePeriod();
    // The saved options; the flag order is not offered to a department on issue slips.
    void restoreOptions(bool flagOrderOffered);
    void saveOptions() const;

    // The first box open to input takes the focus: the clerk types right away.
    void focusFirstBox();
    // The box being left checked: false when it refuses its text.
    bool validateFocusedBox();
    // Every criterion present and the department's warehouse known.
    bool FormCheck();
    // The category pick: its description, empty when cancelled.
    QString GetLTYPE();

    // Western year and month as typed (0: none).
    int year() const;
    int month() const;
    QString deptNo() const;
    int warehouseNo() const;
    // The item range and the category as typed.
    QString itemFrom() const;
    QString itemTo() const;
    QString category() const;
    bool useUseUnit() const;
    bool hideAdjustment() const;
    bool sortByFlag() const;

    // A whole year as typed (ROC or Western) that names a calendar year.
    static bool IsCalendarYear(double typedYear);

Q_SIGNALS:
    void queryRequested();
    // A text for the message line.
    void message(const QString &text);
    void hideAdjustmentChanged(bool hidden);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isCriteriaBox(const QObject *object) const;
    bool criteriaKeyDown(QLineEdit *box, QKeyEvent *event);
    bool pressValidates(QObject *watched, QEvent *event);
    void openPicker(QLineEdit *box);
    bool validateBox(QLineEdit *box);
    void refuse(QLineEdit *box, const QString &message);
    void txtLType_DblClick();

    QLineEdit *txtYear = nullptr;
    QLineEdit *txtMonth = nullptr;
    QLineEdit *txtDeptNoB = nullptr;
    QLineEdit *txtDeptNameB = nullptr;
    QLineEdit *txtStockNo = nullptr;
    QLineEdit *txtSTKNoB = nullptr;
    QLineEdit *txtSTKNoE = nullptr;
    QLineEdit *txtSTKNameB = nullptr;
    QLineEdit *txtSTKNameE = nullptr;
    QLineEdit *txtSINDateB = nullptr;
    QLineEdit *txtSINDateE = nullptr;
    QLineEdit *txtLType = nullptr;
    QCheckBox *chkUseUUnit = nullptr;
    QCheckBox *chkAutoCalQty = nullptr;
    QCheckBox *chkSortBySTKFlag = nullptr;
    QPushButton *cmdQry = nullptr;

    bool m_validating = false;
    QLineEdit *m_editingBox = nullptr; // the box to validate when it is left
};
