#pragma once

#include <QTableView>

class CountEditDelegate;
class QLineEdit;
class StockMonthModel;
class StockRowsProxy;

// The month's stock grid (fgList): the month model's shown rows in their order, edited in
// place in the count and price columns. Cells are addressed by month row; a row the display
// options hide has no cell.
//
// Keys as the suite's grid has them: a typed character starts an edit, Enter moves down in
// the count column and to the next cell elsewhere, F1 does nothing; typing never jumps to a
// row. A heading click sorts by its column (again: descending).
class StockGridView : public QTableView
{
    Q_OBJECT
public:
    StockGridView(StockMonthModel *model, QWidget *parent = nullptr);

    StockMonthModel *monthModel() const { return m_model; }
    StockRowsProxy *rows() const { return m_rows; }

    // The month row of the current cell, -1 when none.
    int currentMonthRow() const;
    int currentColumn() const;
    // Makes the month row's cell current; false when the row is not shown.
    bool setCurrentCell(int monthRow, int col);
    // Scrolls so that the month row is the first one shown.
    void scrollToTopRow(int monthRow);

    bool isEditing() const { return state() == EditingState; }
    // The open cell editor, or nullptr.
    QLineEdit *editor() const;
    // Opens the editor on the current cell, as F2 does.
    void editCurrentCell();

    void setColumnWidthTwips(int col, int twips);
    void sizeColumnsToContents(int first, int last);

Q_SIGNALS:
    // An edit is about to start on the cell; set *cancel to refuse it.
    void beforeEdit(int monthRow, int col, bool *cancel);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyboardSearch(const QString &) override {}

private:
    void moveAfterEnter();
    void headingClicked(int col);

    StockMonthModel *m_model;
    StockRowsProxy *m_rows;
    CountEditDelegate *m_delegate;
};
