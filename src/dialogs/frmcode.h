#pragma once

#include "dialogs/pickerwindow.h"

#include <QPointer>

class QLineEdit;

// The code picker: a list of codes (column 0) and descriptions (column 1) from a query.
class frmCode : public PickerWindow
{
    Q_OBJECT
public:
    explicit frmCode(QWidget *parent = nullptr);

    // Fills the list from pvSQL and shows it; a pick writes column 0 into txtCode and
    // column 1 into txtName (each when given). False, without showing anything, when the
    // query returned no rows; true whenever the list was shown, picked or not.
    bool ShowPick(const QString &pvSQL, QLineEdit *txtCode, QLineEdit *txtName = nullptr,
                  const QString &capCode = QString(), const QString &capName = QString());
    // Fills the list, starts on the first code beginning with key, shows it; true and the
    // picked code in result when the user picked, false after Esc.
    bool PickItem(const QString &pvSQL, QString &result, const QString &key = QString());
    bool FGLoad_NoRedraw(FlexGrid *grid, const QString &pvSQL, int *rowCount = nullptr);

    QString pickedValue() const { return m_picked; }
    QString storedQuery() const { return m_query; }

protected:
    void pickRow() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setHeadings(const QString &capCode, const QString &capName);

    QString m_picked;
    QString m_query;
    QPointer<QLineEdit> m_codeTarget;
    QPointer<QLineEdit> m_nameTarget;
};

// The code picker window, created on first use.
frmCode &frmCodeWindow();
