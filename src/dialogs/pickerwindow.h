#pragma once

#include <QDialog>
#include <QString>

class FlexGrid;

// What the suite's small list windows share: a grid named fgCode filling the window, read
// only, whole rows highlighted; a click, Enter or Space on a data row picks it (pickRow),
// Esc leaves without a pick. Windows are only hidden after a pick, so their grids and
// remembered queries survive between uses.
class PickerWindow : public QDialog
{
    Q_OBJECT
public:
    FlexGrid *fgCode = nullptr;

protected:
    PickerWindow(const QString &objectName, const QString &caption, QWidget *parent);

    // Shows the window modally until a pick or Esc hides it.
    void showModal();
    // Whether the grid's current row is a data row.
    bool hasDataRow() const;
    QString currentCell(int col) const;

    // The pick itself; the default hides the window.
    virtual void pickRow();
    // Whether a click on a data row picks it (otherwise only keys and buttons do).
    virtual bool clickPicks() const { return true; }
    // Error label of the click handler.
    virtual QString clickLabel() const { return QStringLiteral("fgCode_Click"); }

private:
    void fgCode_Click();
    void fgCode_KeyDown(int key, Qt::KeyboardModifiers modifiers, bool *handled);
};

// The window's loader for code lists: exactly one row left (the title row), the column
// count kept, redraw off only while records arrive. True when records arrived; rowCount
// then receives their number + 1. Errors: "FGLoad_NoRedraw" + CR LF + "pvSQL:" + pvSQL.
bool FGLoadNoRedraw(FlexGrid *grid, const QString &pvSQL, int *rowCount = nullptr);
